#include "history/Results.h"

#include <algorithm>

namespace vistorel {
namespace {

QString Figure(ResultKind kind, double value) {
    const bool whole = kind == ResultKind::ReadingTest || kind == ResultKind::Exercise;
    return QString::number(value, 'f', whole ? 0 : 2);
}

QString CsvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

}  // namespace

QString KindName(ResultKind kind) {
    switch (kind) {
        case ResultKind::ReadingTest: return QStringLiteral("Тест скорости чтения");
        case ResultKind::IpsTest: return QStringLiteral("IPS тест");
        case ResultKind::MemoryTest: return QStringLiteral("Тест памяти");
        case ResultKind::Exercise: return QStringLiteral("Упражнения");
    }
    return {};
}

QString FigureName(ResultKind kind) {
    switch (kind) {
        case ResultKind::ReadingTest: return QStringLiteral("слов в минуту");
        case ResultKind::IpsTest: return QStringLiteral("IPS, бит/с");
        case ResultKind::MemoryTest: return QStringLiteral("ISR, бит/с");
        case ResultKind::Exercise: return QStringLiteral("слов в минуту");
    }
    return {};
}

ResultSummary Summarize(const ResultTable& table) {
    ResultSummary summary;
    const auto& rows = table.Rows;  // newest first
    summary.Count = static_cast<int>(rows.size());
    if (rows.empty()) return summary;
    // The earliest of equal bests: the moment the user first reached it.
    const ResultRow* best = &rows.front();
    for (const ResultRow& row : rows) {
        if (row.Figure >= best->Figure) best = &row;
    }
    summary.Best = best->Figure;
    summary.BestAt = best->At;
    summary.TrendOf = std::min(5, summary.Count / 2);
    if (summary.TrendOf == 0) return summary;
    for (int k = 0; k < summary.TrendOf; ++k) {
        summary.LastMean += rows[static_cast<std::size_t>(k)].Figure;
        summary.FirstMean += rows[rows.size() - 1 - static_cast<std::size_t>(k)].Figure;
    }
    summary.FirstMean /= summary.TrendOf;
    summary.LastMean /= summary.TrendOf;
    return summary;
}

QString SummaryLine(ResultKind kind, const ResultSummary& s) {
    if (s.Count == 0) return {};
    QString line = QStringLiteral("Лучший результат: %1 (%2, %3).")
                       .arg(Figure(kind, s.Best), FigureName(kind), s.BestAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy")));
    if (s.TrendOf == 0) return line + QStringLiteral(" Для тренда нужно хотя бы два результата.");
    const double change = s.FirstMean != 0 ? (s.LastMean - s.FirstMean) / s.FirstMean * 100 : 0;
    const QString sign = change > 0 ? QStringLiteral("+") : QString();
    return line + QStringLiteral(" Тренд: %1 → %2 (%3%4 %), среднее первых и последних %5.")
                      .arg(Figure(kind, s.FirstMean), Figure(kind, s.LastMean), sign,
                           QString::number(change, 'f', 1))
                      .arg(s.TrendOf);
}

QByteArray ToCsv(const ResultTable& table) {
    QString text;
    const auto line = [&text](const QStringList& cells) {
        QStringList fields;
        fields.reserve(cells.size());
        for (const QString& cell : cells) fields.append(CsvField(cell));
        text += fields.join(u',');
        text += QStringLiteral("\r\n");
    };
    line(table.Headers);
    for (const ResultRow& row : table.Rows) line(row.Cells);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace vistorel
