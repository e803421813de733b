#include "history/Results.h"

#include <algorithm>

namespace vistorel {
namespace {

QString Figure(ResultKind kind, double value) {
    const bool whole = kind == ResultKind::ReadingTest || kind == ResultKind::Exercise;
    return ShownNumber(value, whole ? 0 : 2);
}

QString CsvField(const QString& text, QChar separator) {
    if (!text.contains(separator) && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// "2026-03-05 10:00:00" as Russian spreadsheets write a moment.
QString RussianDateTime(const QString& cell) {
    if (cell.size() != 19 || cell[4] != u'-' || cell[7] != u'-' || cell[10] != u' ') return cell;
    return cell.mid(8, 2) + u'.' + cell.mid(5, 2) + u'.' + cell.left(4) + cell.mid(10);
}

}  // namespace

QString ShownNumber(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    text.replace(u'.', u',');
    return text;
}

QString ShownCell(const QString& cell, CellKind kind) {
    if (kind != CellKind::Number) return cell;
    QString shown = cell;
    shown.replace(u'.', u',');
    return shown;
}

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
    // From nothing, a change has no percentage.
    QString percent;
    if (s.FirstMean != 0) {
        const double change = (s.LastMean - s.FirstMean) / s.FirstMean * 100;
        percent = QStringLiteral(" (%1%2 %)").arg(change > 0 ? QStringLiteral("+") : QString(), ShownNumber(change, 1));
    }
    return line + QStringLiteral(" Тренд: %1 → %2%3, среднее первых и последних %4.")
                      .arg(Figure(kind, s.FirstMean), Figure(kind, s.LastMean), percent)
                      .arg(s.TrendOf);
}

QByteArray ToCsv(const ResultTable& table, CsvForm form) {
    const bool russian = form == CsvForm::Russian;
    const QChar separator = russian ? u';' : u',';
    QString text;
    const auto line = [&](const QStringList& cells, bool header) {
        QStringList fields;
        fields.reserve(cells.size());
        for (qsizetype c = 0; c < cells.size(); ++c) {
            QString cell = cells[c];
            const auto kind = !header && russian && static_cast<std::size_t>(c) < table.Kinds.size()
                                  ? table.Kinds[static_cast<std::size_t>(c)]
                                  : CellKind::Text;
            if (kind == CellKind::Number) cell = ShownCell(cell, kind);
            if (kind == CellKind::DateTime) cell = RussianDateTime(cell);
            fields.append(CsvField(cell, separator));
        }
        text += fields.join(separator);
        text += QStringLiteral("\r\n");
    };
    line(table.Headers, true);
    for (const ResultRow& row : table.Rows) line(row.Cells, false);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace vistorel
