// Autosave: while its document is modified, a view keeps an enciphered copy
// of it in the per-user autosave folder, so that recovery at the next start
// can bring it back after a crash.

#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGView.h"
#include "SvgInputCheck.h"

#include <QDebug>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimerEvent>

#include <algorithm>

namespace {
const int kCaretBlinkMs = 500;
// A tick of less than a second would write a large document without pause;
// more than a day never comes.
const double kMinimumIntervalSeconds = 1;
const double kMaximumIntervalSeconds = 86400;
// Enough of a copy to see the XML declaration and the root's start.
const qint64 kAutosaveHeadBytes = 4096;
// UTF-8 bytes of a name, well inside every file system's limit of 255 with
// room for the number that keeps it unique.
const int kMaxAutosaveNameBytes = 200;
const QString kNumberMark = QStringLiteral("%_");
const QString kStoreMark = QStringLiteral("%@");
// Beside a stored design's copy, the address of its package, so that the
// recovered design is matched like any open one. The dot keeps it out of
// the copies offered; a copy without it reads as before.
const QString kAddressSuffix = QStringLiteral(".address");
// An address is a line, not a file: anything larger is not ours.
const qint64 kMaxAddressBytes = 64 * 1024;

// Written through a temporary file renamed over the old one: a crash at any
// moment leaves either the previous file or the new one, whole.
bool writeEnciphered(const QString& path, const QByteArray& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = BlowfishFileCipher(g_config.getCipherKey()).encrypt(text);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString encodedName(const QString& name)
{
    QString file;
    for (const QChar c : name) {
        if (QStringLiteral("/\\:*?\"<>|.%").contains(c) || c.unicode() < 0x20)
            file += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            file += c;
    }
    return file;
}
} // namespace

QString CSVGView::autosaveFolder()
{
    QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    folder.mkpath(QStringLiteral("autosave"));
    return folder.filePath(QStringLiteral("autosave"));
}

QString CSVGView::autosaveNameFor(const QString& name, int number, bool stored)
{
    const QString suffix
        = (stored ? kStoreMark : QString()) + (number > 1 ? kNumberMark + QString::number(number) : QString());
    QString kept = name.isEmpty() ? QStringLiteral("design") : name;
    while (kept.size() > 1 && (encodedName(kept) + suffix).toUtf8().size() > kMaxAutosaveNameBytes)
        kept.chop(kept.at(kept.size() - 1).isLowSurrogate() ? 2 : 1);
    return encodedName(kept) + suffix;
}

// Names from before the escapes were kept read as they are.
QString CSVGView::nameOfAutosave(const QString& autosaveName, bool* stored)
{
    QString name = autosaveName;
    const int mark = name.lastIndexOf(kNumberMark);
    bool numbered = false;
    if (mark >= 0)
        name.mid(mark + kNumberMark.size()).toInt(&numbered);
    if (numbered)
        name.truncate(mark);
    const bool inStore = name.endsWith(kStoreMark);
    if (inStore)
        name.chop(kStoreMark.size());
    if (stored)
        *stored = inStore;
    return QString::fromUtf8(QByteArray::fromPercentEncoding(name.toUtf8()));
}

// A copy that cannot be renamed goes: under its old name it would be offered
// beside the drawing's own. The unsaved work is written anew under the new
// name, or at the next tick when that fails too.
void CSVGView::renameAutosave(const QString& name)
{
    if (name == m_autosaveName)
        return;
    const QString from = autosaveFilePath(m_autosaveName);
    const QString to = autosaveFilePath(name);
    m_autosaveName = name;
    if (from.isEmpty())
        return;
    QFile::remove(from + kAddressSuffix);
    if (!QFile::exists(from))
        return;
    if (!to.isEmpty() && QFile::rename(from, to)) {
        writeAutosaveAddress(to);
        return;
    }
    QFile::remove(from);
    m_autosaveOnDisk = false;
    if (hasUnsavedChanges() && !writeAutosave())
        m_document.setModified(true);
}

void CSVGView::removeAutosave()
{
    const QString path = autosaveFilePath(m_autosaveName);
    if (!path.isEmpty())
        removeAutosaveFile(path);
    m_autosaveOnDisk = false;
}

// The address goes first: a crash in between leaves a copy that reads as
// one written before addresses were kept, never an address without a copy.
void CSVGView::removeAutosaveFile(const QString& path)
{
    QFile::remove(path + kAddressSuffix);
    QFile::remove(path);
}

QString CSVGView::autosaveAddress(const QFileInfo& copy)
{
    QFile file(copy.filePath() + kAddressSuffix);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxAddressBytes)
        return QString();
    return QString::fromUtf8(BlowfishFileCipher(g_config.getCipherKey()).decrypt(file.readAll()));
}

// Enciphered like the copy: the address names the user's package. A design
// that has none leaves nothing beside its copy.
bool CSVGView::writeAutosaveAddress(const QString& path) const
{
    if (m_storeSource.isEmpty())
        return QFile::remove(path + kAddressSuffix) || !QFile::exists(path + kAddressSuffix);
    return writeEnciphered(path + kAddressSuffix, m_storeSource.toUtf8());
}

// A drawing back at its saved state (Undo, changes that cancel out) has
// nothing to recover: its copy goes at once, not at the next tick, which a
// crash may never let come.
void CSVGView::dropAutosaveWhenSaved()
{
    if (m_autosaveOnDisk && !hasUnsavedChanges())
        removeAutosave();
}

// What was undone is no longer the drawing's, so the copy may not bring it
// back: the copy follows the drawing at once. Back at the saved state, the
// repaint that follows the Undo drops it.
void CSVGView::autosaveAfterUndo()
{
    if (m_autosaveOnDisk && hasUnsavedChanges() && writeAutosave())
        m_document.setModified(false);
}

void CSVGView::setDisplayName(const QString& name)
{
    m_displayName = name;
    if (m_mainFrame)
        m_mainFrame->updateTabTitle(this);
}

// The main window gives every view a plain, unique name; this check only
// keeps a name from elsewhere from reaching outside the folder. Names with a
// dot are refused as well: the atomic writer's temporaries are "name.XXXXXX".
QString CSVGView::autosaveFilePath(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1Char('.')) || name.contains(QChar(0)))
        return QString();
    return QDir(autosaveFolder()).filePath(name);
}

// The head of a copy of ours deciphers to the start of SVG text; the cipher
// restarts its keystream at the first byte, so the head alone tells.
QFileInfoList CSVGView::recoverableAutosaveFiles()
{
    QFileInfoList files = QDir(autosaveFolder()).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    files.erase(std::remove_if(files.begin(), files.end(),
                    [](const QFileInfo& info) { return autosaveFilePath(info.fileName()).isEmpty(); }),
        files.end());
    const BlowfishFileCipher cipher(g_config.getCipherKey());
    const auto unreadable = [&cipher](const QFileInfo& info) {
        QFile file(info.filePath());
        if (info.size() == 0 || info.size() > kMaxAutosaveBytes || !file.open(QIODevice::ReadOnly))
            return true;
        const QByteArray head = cipher.decrypt(file.read(kAutosaveHeadBytes));
        return SvgInputCheck::refuses(SvgInputCheck::checkBytes(head)) || !head.contains("<svg");
    };
    const auto aside
        = std::stable_partition(files.begin(), files.end(), [&](const QFileInfo& info) { return !unreadable(info); });
    std::for_each(aside, files.end(), setAutosaveFileAside);
    files.erase(aside, files.end());
    return files;
}

// Kept for whoever wants to look at it, out of the folder's listing, so
// that it is not offered again.
void CSVGView::setAutosaveFileAside(const QFileInfo& info)
{
    QDir folder(autosaveFolder());
    folder.mkpath(QStringLiteral("unreadable"));
    const QString target = folder.filePath(QStringLiteral("unreadable/") + info.fileName());
    removeAutosaveFile(target);
    // The address first, so that none is left behind without its copy.
    if (QFile::exists(info.filePath() + kAddressSuffix))
        QFile::rename(info.filePath() + kAddressSuffix, target + kAddressSuffix);
    if (!QFile::rename(info.filePath(), target))
        qWarning() << "The unreadable autosave file" << info.filePath() << "could not be set aside";
}

void CSVGView::startAutosaveTimer()
{
    const double seconds
        = std::clamp(positiveSetting("AutoSaveInterval", 60), kMinimumIntervalSeconds, kMaximumIntervalSeconds);
    m_autosaveTimerId = startTimer(static_cast<int>(seconds * 1000), Qt::CoarseTimer);
}

void CSVGView::startCaretBlink()
{
    m_caretClock.start();
    m_caretTimerId = startTimer(kCaretBlinkMs);
}

void CSVGView::timerEvent(QTimerEvent* event)
{
    QGraphicsView::timerEvent(event);
    blinkCaret();
    if (!m_document.isModified())
        return;
    if (event->timerId() == m_autosaveTimerId)
        autosaveTick();
    else if (m_autosaveTimerId < 0)
        startAutosaveTimer();
}

void CSVGView::blinkCaret()
{
    if (m_caretClock.elapsed() <= kCaretBlinkMs)
        return;
    m_caretClock.start();
    if (!m_document.hasTextCursor())
        return;
    m_document.setCursorVisible(!m_document.isCursorVisible());
    repaint();
}

// A drawing back at its saved state has nothing to recover: its copy goes.
// A failed write keeps the modified flag and is tried again at the next
// tick; a view without a name has nothing to write and waits for the next
// edit.
void CSVGView::autosaveTick()
{
    if (m_mainFrame)
        m_mainFrame->updateTabTitle(this);
    if (!hasUnsavedChanges()) {
        removeAutosave();
    } else if (!m_autosaveName.isEmpty() && !writeAutosave()) {
        qWarning() << "Autosave of" << m_autosaveName << "failed; trying again at the next tick";
        return;
    }
    m_document.setModified(false);
}

void CSVGView::keepAutosaveForRecovery()
{
    m_keepAutosave = writeAutosave();
}

bool CSVGView::writeAutosave()
{
    const QString path = autosaveFilePath(m_autosaveName);
    if (path.isEmpty())
        return false;
    if (!writeEnciphered(path, QString::fromStdWString(m_document.toSvgText()).toUtf8()))
        return false;
    m_autosaveOnDisk = true;
    // Without its address the copy still brings the drawing back.
    if (!writeAutosaveAddress(path))
        qWarning() << "The address of" << m_autosaveName << "could not be kept beside its autosave file";
    return true;
}
