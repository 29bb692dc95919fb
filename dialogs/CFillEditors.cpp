#include "CFillEditors.h"

#include "CDlgGradient.h"
#include "CDlgPattern.h"
#include "CMenuColor.h"
#include "Prompt.h"

void CFillEditors::install()
{
    CMenuColor::setFillEditors(
        [](std::wstring& markup) {
            CDlgGradient dialog;
            if (Prompt::exec(&dialog) != QDialog::Accepted)
                return false;
            markup = dialog.getGradientSvg();
            return true;
        },
        [](std::wstring& markup) {
            CDlgPattern dialog;
            if (Prompt::exec(&dialog) != QDialog::Accepted)
                return false;
            markup = dialog.getPatternSvg();
            return true;
        });
}
