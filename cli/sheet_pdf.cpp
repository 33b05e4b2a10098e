#include "cli/sheet_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <vector>

namespace qvx::cli {
namespace {

// The document is laid out once, as one long page in CSS pixels, and cut
// into pages here: rich text's own pagination splits a row between its lines
// and may leave a table's header alone at the foot of a page.
constexpr qreal kCssDpi = 96;
constexpr qreal kFooterHeight = 28;  // kept free at the foot of every page for its number
constexpr qreal kCullMargin = 2;

// A place where a page may end; `table` is the table whose header rows a
// page starting there repeats, or null.
struct Cut {
  qreal y = 0;
  QTextTable* table = nullptr;
};

struct Slice {
  qreal top = 0;
  qreal bottom = 0;
};

qreal Top(const QTextDocument& document, const QTextBlock& block) {
  return document.documentLayout()->blockBoundingRect(block).top();
}

// The y of the border between `row` and the row below it: the top of the
// lower row's contents less the cell's padding and most of the border's
// width, so that a page cut there keeps the line and none of the next row.
qreal RowBorder(const QTextDocument& document, QTextTable* table, int row) {
  qreal below = 1e12;
  for (int column = 0; column < table->columns(); ++column) {
    const QTextTableCell cell = table->cellAt(row + 1, column);
    below = std::min(below, Top(document, cell.firstCursorPosition().block()) -
                                cell.format().toTableCellFormat().topPadding());
  }
  return below - 0.75 * table->format().border();
}

bool IsGroupRow(QTextTable* table, int row) {
  return table->cellAt(row, 0).columnSpan() == table->columns();
}

// Where pages may end, in order: before every top-level paragraph and table,
// and between two body rows of a table with header rows, except right after
// its first body row's header or a group's title row.
std::vector<Cut> Cuts(const QTextDocument& document,
                      std::vector<std::pair<QTextTable*, Slice>>& headers) {
  std::vector<Cut> cuts;
  QTextFrame* root = document.rootFrame();
  for (auto it = root->begin(); !it.atEnd(); ++it) {
    if (const QTextBlock block = it.currentBlock(); block.isValid()) {
      cuts.push_back({Top(document, block), nullptr});
      continue;
    }
    QTextFrame* frame = it.currentFrame();
    // A table's border is drawn above its box, into the empty paragraph
    // rich text keeps before it: the cut before that paragraph serves.
    qreal top = document.documentLayout()->frameBoundingRect(frame).top() - kCullMargin;
    if (!cuts.empty() && cuts.back().table == nullptr) top = std::min(top, cuts.back().y);
    if (cuts.empty() || cuts.back().y != top) cuts.push_back({top, nullptr});
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    const int header_rows = table->format().headerRowCount();
    if (header_rows == 0 || table->rows() <= header_rows + 1) continue;
    headers.push_back({table, {top, RowBorder(document, table, header_rows - 1)}});
    for (int row = header_rows; row + 1 < table->rows(); ++row)
      if (!IsGroupRow(table, row)) cuts.push_back({RowBorder(document, table, row), table});
  }
  cuts.push_back({document.documentLayout()->documentSize().height(), nullptr});
  return cuts;
}

// The slices of each page: a repeated header, then the page's own part.
std::vector<std::vector<Slice>> Pages(const QTextDocument& document, qreal height) {
  std::vector<std::pair<QTextTable*, Slice>> headers;
  const std::vector<Cut> cuts = Cuts(document, headers);
  const auto header_of = [&](QTextTable* table) {
    for (const auto& [owner, slice] : headers)
      if (owner == table) return slice;
    return Slice{};
  };
  std::vector<std::vector<Slice>> pages;
  std::size_t start = 0;
  while (start + 1 < cuts.size()) {
    const Slice header = header_of(cuts[start].table);
    const qreal room = height - (header.bottom - header.top);
    std::size_t end = start + 1;  // an oversized part still takes a page of its own
    while (end + 1 < cuts.size() && cuts[end + 1].y - cuts[start].y <= room) ++end;
    std::vector<Slice> page;
    if (header.bottom > header.top) page.push_back(header);
    page.push_back({cuts[start].y, cuts[end].y});
    pages.push_back(page);
    start = end;
  }
  return pages;
}

}  // namespace

std::string SheetPdf(const std::string& html, const std::string& title,
                     const std::string& creator) {
  QBuffer bytes;
  bytes.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&bytes);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer.setTitle(QString::fromStdString(title));
    writer.setCreator(QString::fromStdString(creator));
    const QRectF inches = writer.pageLayout().paintRect(QPageLayout::Inch);
    const QSizeF page(inches.width() * kCssDpi, inches.height() * kCssDpi);

    QTextDocument document;
    document.setUseDesignMetrics(true);  // the PDF's advances, not the screen's hinted ones
    document.setDocumentMargin(0);
    document.setHtml(QString::fromStdString(html));
    document.setTextWidth(page.width());

    const auto pages = Pages(document, page.height() - kFooterHeight);
    QPainter painter(&writer);
    painter.scale(writer.resolution() / kCssDpi, writer.resolution() / kCssDpi);
    QFont footer_font = document.defaultFont();
    footer_font.setPixelSize(11);
    for (std::size_t number = 0; number < pages.size(); ++number) {
      if (number > 0) writer.newPage();
      qreal y = 0;
      for (const Slice& slice : pages[number]) {
        const QRectF clip(0, slice.top, page.width(), slice.bottom - slice.top);
        painter.save();
        painter.translate(0, y - slice.top);
        painter.setClipRect(clip);
        // Only what lies wholly inside is drawn: the clip alone lets a row or
        // table that merely touches the cut show its border.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip.adjusted(0, kCullMargin, 0, -kCullMargin);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        y += slice.bottom - slice.top;
      }
      painter.setFont(footer_font);
      painter.drawText(QRectF(0, page.height() - kFooterHeight, page.width(), kFooterHeight),
                       Qt::AlignRight | Qt::AlignBottom,
                       QString("стр. %1 из %2").arg(number + 1).arg(pages.size()));
    }
  }
  return bytes.data().toStdString();
}

}  // namespace qvx::cli
