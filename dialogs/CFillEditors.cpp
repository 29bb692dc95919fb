#include "CFillEditors.h"

#include "CDlgGradient.h"
#include "CDlgPattern.h"
#include "CMenuColor.h"
#include "Prompt.h"

namespace {
template <class Dialog, std::wstring (Dialog::*getMarkup)() const> bool runEditor(std::wstring& markup)
{
    Dialog dialog;
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return false;
    markup = (dialog.*getMarkup)();
    return true;
}
} // namespace

void CFillEditors::install()
{
    CMenuColor::setFillEditors(
        runEditor<CDlgGradient, &CDlgGradient::getGradientSvg>, runEditor<CDlgPattern, &CDlgPattern::getPatternSvg>);
}
