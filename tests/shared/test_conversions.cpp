#include <QTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "shared/numbers.h"
#include "shared/text_lines.h"

using namespace zr;

namespace {

// The result of a conversion of `input`, as text. Numbers given as input are read by the
// program's own NumericValue, so that "1e999" stands for infinity.
std::string Converted(const QByteArray& conversion, const std::string& input) {
    const double value = NumericValue(input);
    if (conversion == "numeric") return DecimalText(value);
    if (conversion == "round") return DecimalText(RoundHalfEven(value));
    if (conversion == "int16") return std::to_string(RoundToInt16(value));
    if (conversion == "single") return SignedTextSingle(static_cast<float>(value));
    if (conversion == "double") return SignedTextDouble(value);
    const std::vector<std::string> lines = SplitLines(input);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "/" : "") + lines[i];
    return joined;
}

}  // namespace

class ConversionsTest : public QObject {
    Q_OBJECT
private slots:
    void conversions_data() { test::AddTableRows(QFINDTESTDATA("conversions.txt")); }
    void conversions() {
        QFETCH(QByteArrayList, row);
        QCOMPARE(QByteArray::fromStdString(Converted(row[1], row[2].toStdString())), row[3]);
    }
};

ZR_TEST(ConversionsTest);
#include "test_conversions.moc"
