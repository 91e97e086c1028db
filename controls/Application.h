#pragma once

#include "layout/LayoutReader.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QApplication;

namespace controls {

// The full path of a resource: $SOUNDGEN_RESOURCES/<file> when that folder has it (for working
// on layouts without rebuilding), otherwise the copy compiled into the program,
// :/resources/<file>. Empty when the file is in neither.
QString ResourcePath(const QString &file);

// The program's title as set on the application object (the caption of its standard error boxes).
QString ApplicationTitle();

// The application object: title, forms, and the message loop that ends when the main form
// (the first form created) closes.
class TApplication : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE setTitle)

public:
    // Uses the running QApplication when there is one, otherwise creates it.
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    void Initialize();

    QString Title() const;
    void setTitle(const QString &title);

    // Constructs a form and loads its layout from the resource folder. The first form made
    // becomes the main form. Returns nullptr (and sets LastError) when the layout fails.
    template <class T> T *CreateForm(const QString &layoutFile)
    {
        auto form = std::make_unique<T>(nullptr);
        if (!LoadForm(form.get(), layoutFile))
            return nullptr;
        return form.release();
    }

    QWidget *MainForm() const { return m_mainForm; }
    QString LastError() const { return m_lastError; }

    // Shows the main form and runs the message loop until it closes; returns the exit code.
    int Run();

    // Ends the message loop as closing the main form does.
    void Terminate();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool LoadForm(QWidget *form, const QString &layoutFile);
    void adoptForm(QWidget *form);

    std::unique_ptr<QApplication> m_ownedApp;
    QPointer<QWidget> m_mainForm;
    QList<QPointer<QWidget>> m_forms;
    QString m_lastError;
};

} // namespace controls
