#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <cstdint>

namespace core {

// Loading / designing / destroying flags carried by every component and widget.
// Loading is set while a stored layout writes the object's properties; designing means
// the object lives inside a form designer (only tests set it here).
class ComponentState
{
public:
    enum Flag : uint32_t {
        csLoading = 0x01,
        csDesigning = 0x02,
        csDestroying = 0x04,
    };

    virtual ~ComponentState() = default;

    bool isLoading() const { return (m_state & csLoading) != 0; }
    bool isDesigning() const { return (m_state & csDesigning) != 0; }
    bool isDestroying() const { return (m_state & csDestroying) != 0; }

    void setLoading(bool on) { setFlag(csLoading, on); }
    void setDesigning(bool on) { setFlag(csDesigning, on); }
    void setDestroying(bool on) { setFlag(csDestroying, on); }

    // Called once every object of a layout has its stored values; clears csLoading.
    virtual void Loaded() { setLoading(false); }

    // A stored value that is not a published property (`PositionMax_2`, binary blocks as
    // QByteArray). Return true when consumed; the reader reports anything else as unknown.
    virtual bool ReadStoredValue(const QString &name, const QVariant &value)
    {
        Q_UNUSED(name);
        Q_UNUSED(value);
        return false;
    }

    // As ReadStoredValue, for values that can arrive damaged: false with `error` set refuses a
    // value the object knows, and the reader fails at that line with `error`.
    virtual bool ReadStoredValueChecked(const QString &name, const QVariant &value, QString &error)
    {
        Q_UNUSED(error);
        return ReadStoredValue(name, value);
    }

    // Asked of the root once the whole layout is read, before anything gets Loaded(): false with
    // `error` set refuses a layout that lacks what the object needs, and the load is undone.
    virtual bool LayoutComplete(QString &error) const
    {
        Q_UNUSED(error);
        return true;
    }

    // Values the writer puts after the published properties, in this order, always.
    virtual QList<QPair<QString, QVariant>> StoredValues() const { return {}; }

private:
    void setFlag(Flag flag, bool on) { m_state = on ? (m_state | flag) : (m_state & ~uint32_t(flag)); }

    uint32_t m_state = 0;
};

} // namespace core
