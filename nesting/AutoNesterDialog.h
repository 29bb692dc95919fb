#pragma once

#include "NestingDialog.h"

class OnlineNester;

// Nesting on the nesting server: the selected pieces go, as a working
// document of their own, to the server as a job under the name set here.
// While the job runs its id is the document's online nesting job id; the
// placements that come back are offered, and move the document's pieces
// of the same ids when the user accepts them. A job that fails or is
// cancelled leaves the document as it was.
class AutoNesterDialog : public NestingDialog
{
    Q_OBJECT
public:
    AutoNesterDialog(CSVGDocument* document, QWidget* parent = nullptr);
    // Cancels a job under way.
    ~AutoNesterDialog() override;

    // The name the job is sent under.
    void setName(const QString& name) { m_name = name; }
    QString name() const { return m_name; }

    void reject() override;

protected:
    void retranslateUi() override;
    void startPlacement() override;

private:
    void jobStarted(const QString& job);
    void placed(const QVector<Vantor::Placement::PlacementInfo>& placements, double rollLength);
    void failed(const QString& message);
    void endJob();

    QString m_name;
    OnlineNester* m_nester;
};
