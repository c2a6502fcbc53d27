#include "core/shell/status_text.h"

#include <algorithm>

#include "core/text/format.h"

namespace tavik {

StatusView DescribeStatus(const StatusTexts& texts, std::uint32_t currentPosition, std::uint32_t count) {
    StatusView view;
    if (count == 0) {
        view.title = texts.programName;
        view.tip = CutText(texts.idleTip, kTrayTipLimit);
        view.iconName = "IDI_A_TAVIK";
        return view;
    }
    auto number = [](std::uint32_t value) { return FormatArgument(static_cast<std::int64_t>(value)); };
    view.title = FormatText(texts.titleFormat, {number(currentPosition), number(count)});
    const std::string& tipFormat = count == 1 ? texts.oneTipFormat : texts.manyTipFormat;
    view.tip = CutText(FormatText(tipFormat, {number(count)}), kTrayTipLimit);
    view.iconName = "IDI_ICON" + std::to_string(std::min<std::uint32_t>(count, 11));
    return view;
}

}  // namespace tavik
