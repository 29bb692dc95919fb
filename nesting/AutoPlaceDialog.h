#pragma once

#include "NestingDialog.h"
#include "PlacementRunner.h"

#include <QTimer>

namespace Vantor {
namespace Placement {

// Local placement of the selected pieces: the engine works on a thread of
// its own and the dialog looks at it once a second.
class AutoPlaceDialog : public NestingDialog
{
    Q_OBJECT
public:
    static const int kPollMs = 1000;

    AutoPlaceDialog(CSVGDocument* document, QWidget* parent = nullptr);
    // Stops the engine and waits for its step under way.
    ~AutoPlaceDialog() override;

    void reject() override;

protected:
    void retranslateUi() override;
    void startPlacement() override;

private:
    void poll();

    PlacementRunner m_runner;
    QTimer m_timer;
};

} // namespace Placement
} // namespace Vantor
