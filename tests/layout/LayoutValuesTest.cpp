#include "layout/LayoutValues.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Each width takes exactly its own range (32 bits: signed and unsigned both, for colours) and
// reads back the bits it was given; only a 32-bit unsigned value reads otherwise when asked
// for the signed reading.
TEST(LayoutIntegers, EachWidthTakesItsRangeAndReadsItsBitsBack)
{
    struct Case
    {
        QMetaType type;
        qint64 low;
        qint64 high;
    };
    const Case cases[] = {
        {QMetaType::fromType<qint8>(), INT8_MIN, INT8_MAX},
        {QMetaType::fromType<quint8>(), 0, UINT8_MAX},
        {QMetaType::fromType<qint16>(), INT16_MIN, INT16_MAX},
        {QMetaType::fromType<quint16>(), 0, UINT16_MAX},
        {QMetaType::fromType<qint32>(), INT32_MIN, UINT32_MAX},
        {QMetaType::fromType<quint32>(), INT32_MIN, UINT32_MAX},
        {QMetaType::fromType<qint64>(), INT64_MIN, INT64_MAX},
        {QMetaType::fromType<quint64>(), 0, INT64_MAX},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(layout::IsIntegerType(c.type.id())) << c.type.name();
        std::vector<qint64> numbers = {c.low, c.high, 0, -1, 1};
        if (c.low > INT64_MIN)
            numbers.push_back(c.low - 1);
        if (c.high < INT64_MAX)
            numbers.push_back(c.high + 1);
        const bool unsigned32 = c.type == QMetaType::fromType<quint32>();
        for (const qint64 number : numbers) {
            const bool fits = number >= c.low && number <= c.high;
            QVariant value;
            ASSERT_EQ(layout::MakeInteger(c.type, number, value), fits) << c.type.name() << " " << number;
            if (!fits)
                continue;
            EXPECT_EQ(value.metaType(), c.type);
            const qint64 asSigned = c.type.sizeOf() == 4 ? qint64(qint32(quint32(number))) : number;
            EXPECT_EQ(layout::IntegerOf(value, layout::Unsigned32::AsSigned), asSigned)
                << c.type.name() << " " << number;
            EXPECT_EQ(layout::IntegerOf(value), unsigned32 ? qint64(quint32(number)) : asSigned)
                << c.type.name() << " " << number;
        }
    }
    for (const QMetaType other : {QMetaType::fromType<bool>(), QMetaType::fromType<double>()})
        EXPECT_FALSE(layout::IsIntegerType(other.id())) << other.name();
}

} // namespace
