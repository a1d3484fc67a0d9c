#include "tools/pourwise-dose/CsvReader.h"
#include "tools/pourwise-dose/output/CsvWriter.h"

#include <QTest>

#include <cstdio>

using Records = QList<QByteArrayList>;

namespace {

// The reader takes a stream; fmemopen gives one over test bytes without touching the disk.
struct MemoryStream {
    explicit MemoryStream(const QByteArray &bytes) : data(bytes)
    {
        file = data.isEmpty() ? std::fopen("/dev/null", "rb")
                              : fmemopen(data.data(), std::size_t(data.size()), "rb");
    }
    ~MemoryStream()
    {
        if (file)
            std::fclose(file);
    }
    QByteArray data;
    std::FILE *file = nullptr;
};

struct ReadResult {
    Records records;
    QList<bool> crlf;
    bool failed = false;
    QByteArray errorText;
    long long errorLine = 0;
};

ReadResult readAll(const QByteArray &bytes, std::size_t chunkBytes)
{
    MemoryStream stream(bytes);
    CsvReader reader(stream.file, chunkBytes);
    ReadResult result;
    std::vector<std::string_view> fields;
    CsvReader::Result status;
    while ((status = reader.next(fields)) == CsvReader::Result::Record) {
        QByteArrayList record;
        for (std::string_view field : fields)
            record << QByteArray(field.data(), qsizetype(field.size()));
        result.records << record;
        result.crlf << reader.recordEndedWithCrLf();
    }
    result.failed = status == CsvReader::Result::Error;
    result.errorText = QByteArray::fromStdString(reader.errorText());
    result.errorLine = reader.recordLine();
    return result;
}

QByteArray written(const Records &records)
{
    char *bytes = nullptr;
    std::size_t size = 0;
    std::FILE *file = open_memstream(&bytes, &size);
    {
        CsvWriter writer(file, 7); // a tiny buffer makes every field cross a flush
        for (const QByteArrayList &record : records) {
            for (const QByteArray &field : record)
                writer.field(std::string_view(field.constData(), std::size_t(field.size())));
            writer.endRecord();
        }
    }
    std::fclose(file);
    QByteArray result(bytes, qsizetype(size));
    std::free(bytes);
    return result;
}

// Record boundaries must not depend on where the stream's chunks happen to end.
const std::size_t ChunkSizes[] = {1, 2, 3, 5, 16, 1 << 20};

} // namespace

class TestCsvReader : public QObject {
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void malformed_data();
    void malformed();
    void lineEnds();
    void writerQuoting_data();
    void writerQuoting();
};

void TestCsvReader::records_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Records>("expected");

    QTest::newRow("plain") << QByteArray("a,b,c\n1,2,3\n")
                           << Records{{"a", "b", "c"}, {"1", "2", "3"}};
    QTest::newRow("crlf") << QByteArray("a,b\r\n1,2\r\n") << Records{{"a", "b"}, {"1", "2"}};
    QTest::newRow("last line without line end")
        << QByteArray("a,b\n1,2") << Records{{"a", "b"}, {"1", "2"}};
    QTest::newRow("last line with CR only at the end")
        << QByteArray("a,b\r\n1,2\r") << Records{{"a", "b"}, {"1", "2"}};
    QTest::newRow("empty lines are skipped")
        << QByteArray("\na,b\n\n\r\n1,2\n\n") << Records{{"a", "b"}, {"1", "2"}};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFgender,height\nm,70\n")
                                     << Records{{"gender", "height"}, {"m", "70"}};
    QTest::newRow("byte-order mark only at the very start")
        << QByteArray("x\n\xEF\xBB\xBFy\n") << Records{{"x"}, {"\xEF\xBB\xBFy"}};
    QTest::newRow("empty fields") << QByteArray(",a,,\n") << Records{{"", "a", "", ""}};
    QTest::newRow("quoted comma") << QByteArray("\"Smith, J\",2\n") << Records{{"Smith, J", "2"}};
    QTest::newRow("doubled quotes")
        << QByteArray("\"say \"\"hi\"\"\",\"\"\"\"\n") << Records{{"say \"hi\"", "\""}};
    QTest::newRow("line breaks inside quotes")
        << QByteArray("\"one\ntwo\",\"three\r\nfour\"\nx,y\n")
        << Records{{"one\ntwo", "three\r\nfour"}, {"x", "y"}};
    QTest::newRow("quoted empty field") << QByteArray("\"\",b\n") << Records{{"", "b"}};
    QTest::newRow("quote inside an unquoted field is literal")
        << QByteArray("5'11\",b\n") << Records{{"5'11\"", "b"}};
    QTest::newRow("text after a closing quote is kept")
        << QByteArray("\"ab\"cd,e\n") << Records{{"abcd", "e"}};
    QTest::newRow("blanks are part of the field")
        << QByteArray(" a , b \n") << Records{{" a ", " b "}};
    QTest::newRow("empty input") << QByteArray() << Records{};
    QTest::newRow("only empty lines") << QByteArray("\n\r\n\n") << Records{};
}

void TestCsvReader::records()
{
    QFETCH(QByteArray, input);
    QFETCH(Records, expected);
    for (std::size_t chunk : ChunkSizes) {
        const ReadResult result = readAll(input, chunk);
        QVERIFY2(!result.failed, result.errorText.constData());
        QCOMPARE(result.records, expected);
    }
}

void TestCsvReader::malformed_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("recordsBeforeError");
    QTest::addColumn<int>("errorLine");

    QTest::newRow("quote never closed") << QByteArray("a,b\n1,2\n3,\"open\n4,5\n") << 2 << 3;
    QTest::newRow("quote never closed on the last line") << QByteArray("a\n\"b") << 1 << 2;
    QByteArray huge = "a\n\"";
    huge += QByteArray(qsizetype(CsvReader::MaxRecordBytes) + 10, 'x');
    QTest::newRow("record beyond the size limit") << huge << 1 << 2;
}

void TestCsvReader::malformed()
{
    QFETCH(QByteArray, input);
    QFETCH(int, recordsBeforeError);
    QFETCH(int, errorLine);
    const ReadResult result = readAll(input, 4096);
    QVERIFY(result.failed);
    QCOMPARE(result.records.size(), recordsBeforeError);
    QCOMPARE(result.errorLine, errorLine);
    QVERIFY(result.errorText.contains("line " + QByteArray::number(errorLine)));
}

void TestCsvReader::lineEnds()
{
    // Each record reports its own line end, so a reply can follow the style of the header.
    for (std::size_t chunk : ChunkSizes) {
        const ReadResult result = readAll("a\r\nb\nc\r\n\"d\r\ne\"\nf", chunk);
        QCOMPARE(result.records.size(), 5);
        QCOMPARE(result.crlf, (QList<bool>{true, false, true, false, false}));
    }
}

void TestCsvReader::writerQuoting_data()
{
    QTest::addColumn<Records>("records");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("plain") << Records{{"a", "1.5", ""}} << QByteArray("a,1.5,\n");
    QTest::newRow("comma") << Records{{"Smith, J", "x"}} << QByteArray("\"Smith, J\",x\n");
    QTest::newRow("quotes doubled")
        << Records{{"say \"hi\""}} << QByteArray("\"say \"\"hi\"\"\"\n");
    QTest::newRow("line breaks") << Records{{"a\nb", "c\rd"}} << QByteArray("\"a\nb\",\"c\rd\"\n");
    QTest::newRow("long field through a small buffer")
        << Records{{QByteArray(40, 'z'), "\"" + QByteArray(20, 'q')}}
        << QByteArray(40, 'z') + ",\"\"\"" + QByteArray(20, 'q') + "\"\n";
}

void TestCsvReader::writerQuoting()
{
    QFETCH(Records, records);
    QFETCH(QByteArray, expected);
    const QByteArray bytes = written(records);
    QCOMPARE(bytes, expected);
    QCOMPARE(readAll(bytes, 3).records, records); // what is written reads back unchanged
}

QTEST_APPLESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
