// An IMAP4 server that answers with arbitrary bytes, in arbitrary segments: the dialogue reads only
// what came, never counts below zero, sends its commands in their order (the password, which
// holds a line end, as a literal once the server asks for it) and ends with LOGOUT.

#include "core/mail/imap4_dialogue.h"
#include "scripted_channel.h"

using namespace tavik::mailbox;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DialogueOutcome found = fuzzing::RunScripted<Imap4Dialogue>(
        data, size,
        "a01 CAPABILITY \r\na02 LOGIN \"user\" {6}\r\npa\r\nss\r\na03 EXAMINE INBOX\r\n"
        "a04 SEARCH UNSEEN UNDELETED UNDRAFT\r\n",
        "a05 LOGOUT\r\n", "pa\r\nss");
    fuzzing::Require(found.count >= 0);
    return 0;
}
