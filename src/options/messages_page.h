#pragma once
// The options' messages page: arrival sound, sender lists, behaviour switches, the restore hot key
// and the size of the message text (previewed at once, undone on Cancel).

#include "options/options_page.h"

namespace tavik::options {

class MessagesPage final : public OptionsPage {
public:
    using OptionsPage::OptionsPage;

private:
    bool OnInit() override;
    bool OnCommand(WORD id, WORD notification, HWND control) override;
    bool OnLeave() override;
    bool OnCancel() override;

    void FillSizeList(std::uint32_t current);
    std::optional<std::uint32_t> SelectedSize() const;
};

}  // namespace tavik::options
