#include "mail/shown_mail_account.h"

#include <utility>

namespace tavik::mail {
namespace {

MailAccountOnPage& Reader() {
    static MailAccountOnPage reader;
    return reader;
}

}  // namespace

void SetMailAccountOnPage(MailAccountOnPage reader) { Reader() = std::move(reader); }

std::optional<ShownMailAccount> MailAccountShown() { return Reader() ? Reader()() : std::nullopt; }

}  // namespace tavik::mail
