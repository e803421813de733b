// Costs of reading books and texts: a 5 MB FB2 and a 5 MB EPUB read from
// disk into lines, the scan that measures the FB2 against the budget, and the encoding of a 10 MB plain text told and decoded.

#include "BookMaker.h"

#include "books/Document.h"
#include "books/PlainText.h"
#include "books/ReadBudget.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

using namespace vistorel;

namespace {

// A book of about `bytes` of text: 40 chapters of paragraphs of four
// sentences, under the line limit.
bookmaker::Book BookOf(double bytesPerParagraph, qint64 bytes) {
    const int paragraphs = static_cast<int>(bytes / bytesPerParagraph);
    return bookmaker::StoryBook(40, paragraphs / 40, 4);
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    return file.fileName();
}

void ReadBook(benchmark::State& state, const QString& path, qint64 size) {
    qsizetype lines = 0;
    for (auto _ : state) lines = ReadDocument(path).Lines.size();
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["MB"] = static_cast<double>(size) / (1024 * 1024);
}

// The scan that measures a document against the reading budget, alone.
void Measure(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) benchmark::DoNotOptimize(MeasureXml(bytes, QStringLiteral("book"), QStringLiteral("book"), {}).Characters);
    state.counters["MB"] = static_cast<double>(bytes.size()) / (1024 * 1024);
}

void Detect(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) benchmark::DoNotOptimize(DetectTextEncoding(bytes));
    state.counters["MB"] = static_cast<double>(bytes.size()) / (1024 * 1024);
}

void DetectAndDecode(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) benchmark::DoNotOptimize(DecodePlainText(bytes).size());
    state.counters["MB"] = static_cast<double>(bytes.size()) / (1024 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QTemporaryDir dir;
    constexpr qint64 kBook = qint64{5} * 1024 * 1024;
    constexpr qint64 kText = qint64{10} * 1024 * 1024;

    // A paragraph of four sentences is about 500 bytes in UTF-8.
    const QByteArray fb2 = bookmaker::Fb2(BookOf(500, kBook));
    const QString fb2Path = WriteFile(dir, QStringLiteral("book.fb2"), fb2);
    // An EPUB of the same text, with pictures that make up the 5 MB.
    const bookmaker::Book epubBook = BookOf(500, kBook);
    const QByteArray epub = bookmaker::Epub(epubBook, 3, kBook - bookmaker::Epub(epubBook).size());
    const QString epubPath = WriteFile(dir, QStringLiteral("book.epub"), epub);

    QString story;
    while (story.size() < kText) story += bookmaker::StoryText(64);
    const QByteArray windows = QByteArray(QStringEncoder("windows-1251").encode(story)).left(kText);
    const QByteArray koi8 = QByteArray(QStringEncoder("KOI8-R").encode(story)).left(kText);
    const QByteArray utf8 = story.toUtf8().left(kText);

    benchmark::RegisterBenchmark("ReadFb2/5MB", ReadBook, fb2Path, fb2.size())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReadEpub/5MB", ReadBook, epubPath, epub.size())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MeasureXml/5MB", Measure, fb2)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DetectEncoding/10MB/Windows-1251", Detect, windows)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DetectEncoding/10MB/KOI8-R", Detect, koi8)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DetectEncoding/10MB/UTF-8", Detect, utf8)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DetectAndDecode/10MB/KOI8-R", DetectAndDecode, koi8)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
