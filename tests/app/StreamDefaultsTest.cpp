// The layout writer leaves out every value equal to its declared stream default, so a default
// that differs from what a new object holds either loses a setting on the next load or writes
// noise into every layout. One walk over every registered class checks them all.

#include "app/LayoutClasses.h"
#include "layout/ClassRegistry.h"
#include "layout/LayoutWriter.h"
#include "tests/support/FakeSoundPlayer.h"

#include <QMetaProperty>
#include <QRegularExpression>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Values with no stream default at all: the layout holds them whenever they are not 0.
bool StoredWhenNotZero(const QMetaObject *meta, const QString &property)
{
    return property == QLatin1String("PositionMax") && meta->indexOfProperty("PositionMin") >= 0;
}

// The meta-object that declares the leaf of a dotted property path ("TickLabelFont.Name").
const QMetaObject *OwnerOf(const QMetaObject *meta, const QStringList &path)
{
    for (qsizetype i = 0; meta && i + 1 < path.size(); ++i) {
        const int index = meta->indexOfProperty(path.at(i).toLatin1().constData());
        meta = index < 0 ? nullptr : meta->property(index).metaType().metaObject();
    }
    return meta;
}

} // namespace

TEST(StreamDefaults, ANewObjectOfEveryRegisteredClassWritesNoValueThatHasADeclaredDefault)
{
    app::RegisterLayoutClasses();
    sound::ScopedFakeSoundPlayer player; // the generator reads the device volume at birth
    QWidget host;
    const QStringList classes = layout::RegisteredClassNames();
    ASSERT_TRUE(classes.contains(QStringLiteral("TiKnob")));
    ASSERT_TRUE(classes.contains(QStringLiteral("TToneGen")));

    static const QRegularExpression valueLine(QStringLiteral("^    ([A-Za-z0-9_.]+) = (.*)$"));
    int checked = 0;
    for (const QString &className : classes) {
        std::unique_ptr<QObject> object(layout::CreateObject(className, &host));
        ASSERT_NE(object, nullptr) << className.toStdString();
        layout::LayoutResult saved;
        const QString text = layout::SaveLayout(object.get(), &saved);
        EXPECT_TRUE(saved.ok) << className.toStdString() << ": " << saved.error.toStdString();
        for (const QString &line : text.split(u'\n')) {
            const QRegularExpressionMatch match = valueLine.match(line);
            if (!match.hasMatch())
                continue;
            const QStringList path = match.captured(1).split(u'.');
            const QMetaObject *owner = OwnerOf(object->metaObject(), path);
            if (!owner)
                continue;
            const QByteArray key = "default:" + path.last().toLatin1();
            const int info = owner->indexOfClassInfo(key.constData());
            if (info < 0)
                continue;
            ++checked;
            if (path.size() == 1 && StoredWhenNotZero(owner, path.last()))
                continue;
            ADD_FAILURE() << className.toStdString() << "." << match.captured(1).toStdString()
                          << " is declared to default to " << owner->classInfo(info).value()
                          << " but a new object writes " << match.captured(2).toStdString();
        }
    }
    // The exempt range end is met on every value widget, so the walk did look at values.
    EXPECT_GT(checked, 0);
}
