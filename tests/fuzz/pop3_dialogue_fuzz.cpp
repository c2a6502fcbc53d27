// A POP3 server that answers with arbitrary bytes, in arbitrary segments: the dialogue reads only
// what came, sends its commands in their order and ends with QUIT.

#include "core/mail/pop3_dialogue.h"
#include "scripted_channel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavik::mailbox::fuzzing::RunScripted<tavik::mailbox::Pop3Dialogue>(data, size, "USER user\r\nPASS pass\r\nSTAT\r\n",
                                                                 "QUIT\r\n");
    return 0;
}
