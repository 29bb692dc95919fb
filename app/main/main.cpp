// Start-up: builds everything that lives for the whole run, in a fixed
// order, shows the one top-level window and runs the event loop.

#include "ApiReply.h"
#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "Deployment.h"
#include "DriverHook.h"
#include "EditorFace.h"
#include "FileUpload.h"
#include "HttpRequest.h"
#include "InstanceGuard.h"
#include "Platform.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "Tools.h"
#include "Trans.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QOpenGLContext>
#include <QPointer>
#include <QPushButton>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSettings>

#include <memory>

namespace {

QFont applicationFont()
{
    QFont font;
    font.setPointSize(10);
    const bool hasYaHei = QFontDatabase().families().contains(QStringLiteral("微软雅黑"));
    font.setFamily(hasYaHei ? QStringLiteral("微软雅黑") : QStringLiteral("Arial"));
    return font;
}

std::unique_ptr<QPushButton> pageButton(const QFont& font)
{
    auto button = std::make_unique<QPushButton>();
    button->setFont(font);
    return button;
}

// The page buttons speak the interface language. 120 pixels fit their labels
// in the fonts the layout was made for; a longer translation or a wider
// fallback font makes a button grow, and the second keeps its gap to the first.
void labelPageButtons(QPushButton* data, QPushButton* design)
{
    int x = 10;
    for (auto [button, text] :
        { std::pair { data, QObject::tr("Data Center") }, std::pair { design, QObject::tr("Design Center") } }) {
        button->setText(text);
        button->setGeometry(x, 20, qMax(120, QFontMetrics(button->font()).horizontalAdvance(text) + 16), 40);
        x = button->geometry().right() + 6;
    }
}

// The administrator parameters colour the "Design Center" button.
void colourDesignButton(QPushButton* button)
{
    QPointer<QPushButton> target(button);
    HttpRequest request(SVGApplication::instance()->getApiBaseUrl() + QStringLiteral("common/getAdminParams"));
    request.addParam(QStringLiteral("admin_id"), SVGApplication::instance()->getAdminId())
        .setSuccessHandler([target](const QString& body) {
            const ApiReply reply = ApiReply::parse(body);
            const QString colour = reply.data().toObject().value(QStringLiteral("page_btn_color")).toString();
            if (target && !colour.isEmpty()) {
                target->setStyleSheet(
                    QStringLiteral("background-color:%1; color: rgb(255,255,255);font-size:16px").arg(colour));
            }
        });
    request.post();
}

// Without OpenGL (a remote or virtual display) the pages are drawn by
// software instead of failing to start.
void chooseSceneGraph()
{
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        return;
    QOpenGLContext probe;
    if (!probe.create())
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
}

void publish(
    QQmlContext* context, SVGApplication& application, FileUpload& fileUpload, CMainFrame& mainFrame, QQuickView& view)
{
    context->setContextProperty(QStringLiteral("fileupload"), &fileUpload);
    context->setContextProperty(QStringLiteral("mw"), &mainFrame);
    context->setContextProperty(QStringLiteral("view"), &view);
    context->setContextProperty(QStringLiteral("$appVersion"), QCoreApplication::applicationVersion());
    context->setContextProperty(QStringLiteral("$usertype"), application.getUserType());
    context->setContextProperty(QStringLiteral("$api"), application.getApiUrl());
    context->setContextProperty(QStringLiteral("$tools"), new Tools(&application));
    context->setContextProperty(QStringLiteral("$admin_id"), application.getAdminId());
    context->setContextProperty(QStringLiteral("$backPath"), QStringLiteral("qrc:/images/bg.jpg"));
    // The hosts that the pages build design and image addresses from.
    context->setContextProperty(QStringLiteral("$designHosts"),
        QStringList { Deployment::designHost(0), Deployment::designHost(1), Deployment::designHost(2) });
    context->setContextProperty(QStringLiteral("$imageHost"), Deployment::imageHost());
}

} // namespace

int main(int argc, char** argv)
{
    SVGApplication application(argc, argv);
    DriverHook::beforeFirstPrompt();
    if (!Platform::isSupportedSystem()) {
        Prompt::warning(nullptr, QObject::tr("Warning"), QObject::tr("This program requires Windows 10 or greater."));
        return 0;
    }
    QFont font = applicationFont();
    QApplication::setFont(font);

    InstanceGuard instance(QStringLiteral("__ZOCUT_ENDUSER__"));
    if (!instance.acquire()) {
        Prompt::warning(nullptr, QObject::tr("Warning"), QObject::tr("Application is running!"));
        return 0;
    }
    g_config.setPointFactor(3.7795276641845703 * 0.35269999504089355);

    // Outlives the windows and the pages, whose network requests may still
    // be translating their error texts as they go. The main window's first
    // question (whether to recover autosaved drawings) already speaks the
    // language of the last run.
    Trans trans;
    const QDir folder(QCoreApplication::applicationDirPath());
    trans.init(nullptr, folder.absoluteFilePath(QStringLiteral("translations")));
    trans.setLanguageCode(QSettings().value(QStringLiteral("lang")).toString());
    // Declared before them so that it goes after them: the main window and
    // the view that it comes to hold are gone before it.
    std::unique_ptr<QWidget> container;
    CMainFrame mainFrame;
    chooseSceneGraph();
    QQuickView view;
    trans.publish(view.rootContext());

    font.setWeight(75);
    font.setPixelSize(16);
    application.getSettingConfigbyid();
    std::unique_ptr<QPushButton> dataButton = pageButton(font);
    std::unique_ptr<QPushButton> designButton = pageButton(font);
    labelPageButtons(dataButton.get(), designButton.get());
    mainFrame.setPageButtons(dataButton.get(), designButton.get());
    QObject::connect(&trans, &Trans::currentLangChanged, dataButton.get(),
        [data = dataButton.get(), design = designButton.get()]() { labelPageButtons(data, design); });
    colourDesignButton(designButton.get());
    // The pages end the program after a password change, without asking:
    // unsaved drawings are kept for the next start to offer.
    QObject::connect(
        view.engine(), &QQmlEngine::quit, &application,
        [&mainFrame] {
            mainFrame.keepUnsavedDrawings();
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);

    FileUpload fileUpload;
    // Everything the pages read is published before they load, so that no
    // binding meets an undefined name.
    publish(view.rootContext(), application, fileUpload, mainFrame, view);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("qrc:/zoqml/main.qml")));
    container.reset(QWidget::createWindowContainer(&view));
    container->resize(1350, 750);

    // A web API on this machine (the stand-in) needs no network; when it
    // cannot be reached, the sign-in page says so and offers "Retry".
    if (!Deployment::isApiOnLoopback() && !mainFrame.isInternetConnected()) {
        Prompt::about(nullptr, QObject::tr("Warning"), QObject::tr("Network Error"));
        return 0;
    }
    // The editor fills the window below the strip of the page buttons.
    mainFrame.setParent(container.get());
    auto* face = new EditorFace(container.get(), &mainFrame, &view);
    if (const QObject* pages = view.rootObject())
        face->setSmallestSize(QSize(pages->property("minimumWidth").toInt(), pages->property("minimumHeight").toInt()));
    QObject::connect(&mainFrame, &CMainFrame::signedIn, face, &EditorFace::signedIn);
    for (QPushButton* button : { dataButton.get(), designButton.get() }) {
        button->setParent(container.get());
        button->hide();
    }
    QQmlContext* context = view.rootContext();
    context->setContextProperty(QStringLiteral("databtn"), dataButton.get());
    context->setContextProperty(QStringLiteral("databtn1"), designButton.get());
    QObject::connect(dataButton.get(), &QPushButton::clicked, &view,
        [&view, data = dataButton.get(), design = designButton.get()]() {
            view.show();
            data->hide();
            design->hide();
        });
    dataButton.release();
    designButton.release();
    DriverHook::pagesLoaded(view);
    // The window manager places the window, frame and all, within the
    // screen's free area; without one it stays at its size, centred.
    container->showMaximized();
    return application.exec();
}
