#include "dialogs/gamma_choices.h"

namespace vca {

std::u16string GammaFileFilter(const std::u16string& gammaFilesName, const std::u16string& allFilesName) {
    std::u16string filter;
    filter += gammaFilesName;
    filter += u'\0';
    filter += u"*.gc";
    filter += u'\0';
    filter += allFilesName;
    filter += u'\0';
    filter += u"*.*";
    filter += u'\0';
    filter += u'\0';
    return filter;
}

std::uint32_t GammaHelpContext(int controlId) {
    static const struct {
        int control;
        std::uint32_t context;
    } kTopics[] = {
        {kGammaLinearControl, kGammaHelpLinear}, {kGammaValueControl, kGammaHelpValue},
        {kGammaScrollControl, kGammaHelpValue},  {kGammaFileControl, kGammaHelpFile},
        {kGammaChooseControl, kGammaHelpFile},   {kGammaTestControl, kGammaHelpFile},
    };
    for (const auto& topic : kTopics)
        if (topic.control == controlId) return topic.context;
    return kGammaHelpDialog;
}

}  // namespace vca
