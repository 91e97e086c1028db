#include "controls/Application.h"

#include "canvas/Fonts.h"
#include "controls/StandardClasses.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace controls {

QString ResourcePath(const QString &file)
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("SOUNDGEN_RESOURCES");
    if (!fromEnvironment.isEmpty())
        folders.append(fromEnvironment);
    folders.append(QStringLiteral(":/resources"));
    for (const QString &folder : std::as_const(folders)) {
        const QString path = QDir(folder).filePath(file);
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return {};
}

TApplication::TApplication(int &argc, char **argv)
{
    canvas::TFont::StartLoadingFontList();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        m_ownedApp = std::make_unique<QApplication>(argc, argv);
}

TApplication::~TApplication()
{
    // The forms go before the QApplication they need.
    for (const QPointer<QWidget> &form : std::as_const(m_forms))
        delete form.data();
}

void TApplication::Initialize()
{
    // The main form alone decides when the program ends; hidden or other windows do not.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    canvas::TFont::WaitForFontList();
    canvas::TFont::InstallSubstitutions();
    RegisterStandardClasses();
}

namespace {
// Kept apart from Qt's display name, which the X11 platform appends to every window title.
QString &titleSlot()
{
    static QString title;
    return title;
}
} // namespace

QString ApplicationTitle()
{
    return titleSlot();
}

QString TApplication::Title() const
{
    return titleSlot();
}

// The title names the program where the desktop lists its windows: it is the main form's icon
// text, which task bars and minimised windows show, while the caption stays the form's own.
void TApplication::setTitle(const QString &title)
{
    titleSlot() = title;
    if (m_mainForm)
        m_mainForm->setWindowIconText(title);
}

bool TApplication::LoadForm(QWidget *form, const QString &layoutFile)
{
    const QString path = ResourcePath(layoutFile);
    if (path.isEmpty()) {
        m_lastError = QStringLiteral("%1: layout not found in the resource folder").arg(layoutFile);
    } else if (const layout::LayoutResult result = layout::LoadLayout(form, path); !result.ok) {
        m_lastError = result.error;
    } else {
        m_lastError.clear();
        adoptForm(form);
        return true;
    }
    std::fprintf(stderr, "%s\n", qPrintable(m_lastError));
    return false;
}

void TApplication::adoptForm(QWidget *form)
{
    m_forms.append(form);
    if (!m_mainForm) {
        m_mainForm = form;
        form->setWindowIconText(titleSlot());
        form->installEventFilter(this);
        connect(form, &QObject::destroyed, this, &TApplication::Terminate);
    }
}

bool TApplication::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainForm && event->type() == QEvent::Close) {
        // The form's own close handling may still refuse; look once it is done.
        QTimer::singleShot(0, this, [this] {
            if (!m_mainForm || !m_mainForm->isVisible())
                Terminate();
        });
    }
    return QObject::eventFilter(watched, event);
}

void TApplication::Terminate()
{
    QCoreApplication::exit(0);
}

int TApplication::Run()
{
    if (!m_mainForm)
        return 0;
    m_mainForm->show();
    return QCoreApplication::exec();
}

} // namespace controls
