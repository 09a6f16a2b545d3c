// The results list: its columns, keys, copying and column sort, and the
// rows a run hands to the window.

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <set>

#include "app/form1.h"
#include "app/logic/column_sort.h"
#include "app/logic/evidence_text.h"

namespace velmora {
namespace {

const QStringList kHeaders = {"ID", "LncName", "Disease", "a", "b", "c", "d", "P-value", "P-Bonferoni", "OR-value"};
constexpr char kCopyHeader[] = "ID\tLncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n";
constexpr int kRepaintIntervalMs = 100;
constexpr int kCellPadding = 12;  // the cell's margins

}  // namespace

void Form1::SetListRow(int row, const std::array<QString, 10>& texts) {
  for (int c = 0; c < static_cast<int>(texts.size()); ++c) {
    const QString& text = texts[static_cast<std::size_t>(c)];
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);  // no in-place editing
    cell->setToolTip(text);                                    // the full text of a cut cell
    ListView1->setItem(row, c, cell);
  }
}

void Form1::SetListRow(int row, const QString& id, const std::array<std::string, 9>& cells) {
  std::array<QString, 10> texts = {id};
  for (std::size_t c = 0; c < cells.size(); ++c) texts[c + 1] = QString::fromStdString(cells[c]);
  SetListRow(row, texts);
}

void Form1::ListViewSET() {
  ListView1->clearSelection();
  ListView1->setRowCount(0);
  ListView1->setColumnCount(static_cast<int>(kHeaders.size()));
  ListView1->setHorizontalHeaderLabels(kHeaders);
  ListView1->verticalHeader()->hide();
  ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
  ListView1->setShowGrid(false);
  ListView1->setWordWrap(false);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->horizontalHeader()->setSectionsClickable(!running_);
  ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ListView1->horizontalHeader()->setHighlightSections(false);
  // Every header in full; the sorted one also needs room for its arrow.
  QHeaderView* header = ListView1->horizontalHeader();
  header->setSortIndicatorShown(false);
  for (int k = 0; k < static_cast<int>(kHeaders.size()); ++k) {
    headerWidths_[static_cast<std::size_t>(k)] = widest_[static_cast<std::size_t>(k)] = header->sectionSizeHint(k);
  }
  header->setSortIndicatorShown(true);
  header->setSortIndicator(-1, Qt::AscendingOrder);  // new rows: unsorted
  arrowWidth_ = header->sectionSizeHint(0) - headerWidths_[0];
  const auto widths = InitialColumnWidths(layout_.listView1.width);
  for (int k = 0; k < static_cast<int>(widths.size()); ++k) ListView1->setColumnWidth(k, ToPixels(widths[k]));
  ListViewSub();
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
}

// The design's widths, but no number column narrower than its widest text,
// and no scroll bar while everything fits: the width of a vertical scroll
// bar and the rounding of ten columns are kept free.
void Form1::ListViewSub() {
  std::array<float, 10> minimum{};
  const auto sorted = static_cast<std::size_t>(ListView1->horizontalHeader()->sortIndicatorSection());
  for (std::size_t k = 0; k < minimum.size(); ++k) {
    const bool name = k == 1 || k == 2;  // names may be cut; their tooltip holds them
    const int width = (name ? headerWidths_[k] : widest_[k]) + (k == sorted ? arrowWidth_ : 0);
    minimum[k] = static_cast<float>(width) * kTwipsPerPixel;
  }
  const int free = ToPixels(layout_.listView1.width) - 2 * ListView1->frameWidth() -
                   ListView1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 10;
  const auto widths = FittedColumnWidths(layout_.listView1.width, minimum, static_cast<float>(free) * kTwipsPerPixel);
  for (int k = 0; k < static_cast<int>(widths.size()); ++k) ListView1->setColumnWidth(k, ToPixels(widths[k]));
}

// A row's texts may widen the number columns; the layout follows only when
// one does.
void Form1::NoteWidths(int row) {
  const QFontMetrics metrics(ListView1->font());
  bool wider = false;
  for (int k = 0; k < ListView1->columnCount(); ++k) {
    const int width = metrics.horizontalAdvance(ListView1->item(row, k)->text()) + kCellPadding;
    if (width > widest_[static_cast<std::size_t>(k)]) {
      widest_[static_cast<std::size_t>(k)] = width;
      wider = wider || (k != 1 && k != 2);
    }
  }
  if (wider) ListViewSub();
}

// One selected row: its FDR and shared miRNAs, with the predictor that
// found each, as many as the line's lines hold; the tooltip holds them all.
void Form1::ShowEvidence() {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  QString text = evidence_.empty() ? QString() : "Select one row to see the miRNAs behind it.";
  QString whole = text;
  if (rows.size() == 1) {
    const int row = rows.front().row();
    const auto found =
        evidence_.find({ListView1->item(row, 1)->text().toStdString(), ListView1->item(row, 2)->text().toStdString()});
    if (found != evidence_.end()) {
      const Evidence& e = found->second;
      const QFontMetrics metrics = EvidenceLine->fontMetrics();
      const QRect room(0, 0, EvidenceLine->contentsRect().width(), 1 << 20);
      auto shown = [&](std::size_t count) { return QString::fromStdString(EvidenceText(e, count)); };
      auto fits = [&](std::size_t count) {
        return metrics.boundingRect(room, Qt::TextWordWrap, shown(count)).height() <=
               kEvidenceLines * metrics.lineSpacing();
      };
      std::size_t fitting = 0, failing = e.mirnas.size() + 1;  // shown(fitting) fits; shown(failing) does not
      while (failing - fitting > 1) {
        const std::size_t middle = fitting + (failing - fitting) / 2;
        (fits(middle) ? fitting : failing) = middle;
      }
      text = shown(fitting);
      whole = shown(e.mirnas.size());
    }
  }
  EvidenceLine->setToolTip(whole);
  EvidenceLine->setText(text);
}

void Form1::SelectAllRows() { ListView1->selectAll(); }

bool Form1::RowSelected(int row) const { return ListView1->selectionModel()->isRowSelected(row, QModelIndex()); }

// Shift 1, Ctrl 2, Alt 4: Ctrl+A and Ctrl+C want Ctrl alone.
bool Form1::ListView1_KeyDown(int keyCode, int shift) {
  if (keyCode == 'A' && shift == 2) {
    SelectAllRows();
    return true;
  }
  if (keyCode == 46) {
    ListView1->clearSelection();
    return true;
  }
  if (keyCode == 'C' && shift == 2) {
    QString text = kCopyHeader;
    bool any = false;
    for (int row = 0; row < ListView1->rowCount(); ++row) {
      if (!RowSelected(row)) continue;
      any = true;
      for (int c = 0; c < kHeaders.size(); ++c) {
        text += ListView1->item(row, c)->text() + (c + 1 < kHeaders.size() ? "\t" : "\r\n");
      }
    }
    if (any) QGuiApplication::clipboard()->setText(text);
    return true;
  }
  return false;
}

void Form1::ListView1_ColumnClick(int column) {
  if (running_) return;  // rows are still arriving
  const int rows = ListView1->rowCount();
  if (rows > ResultStore::kLastRow) {
    Log("The list holds " + std::to_string(rows) + " rows and only the first " + std::to_string(ResultStore::kLastRow) +
        " can be sorted here; it stays as it is. Save the results and sort them in a spreadsheet.");
    ListView1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // the header's click moved it
    return;
  }
  std::set<QString> remembered;
  for (int row = 0; row < rows; ++row) {
    if (RowSelected(row)) remembered.insert(ListView1->item(row, 0)->text());
  }
  ListView1->clearSelection();

  const bool ascending = sortDirection_ == 0;
  sortDirection_ = ascending ? 1 : 0;
  qsort(store_, 0, static_cast<std::int16_t>(rows), column - 1, 9);
  ListView1->setUpdatesEnabled(false);
  ListView1->setRowCount(0);
  ListView1->setRowCount(rows);
  QItemSelection selection;
  for (int i = 1; i <= rows; ++i) {
    const int row = ascending ? i : rows - i + 1;
    std::array<std::string, 9> cells;
    for (int c = 1; c <= 9; ++c) cells[static_cast<std::size_t>(c - 1)] = std::get<std::string>(store_.At(row, c));
    const QString id = QString::number(std::get<std::int32_t>(store_.At(row, 0)));
    SetListRow(i - 1, id, cells);
    if (remembered.contains(id)) {
      selection.select(ListView1->model()->index(i - 1, 0), ListView1->model()->index(i - 1, 9));
    }
  }
  ListView1->selectionModel()->select(selection, QItemSelectionModel::Select);
  ListView1->horizontalHeader()->setSortIndicator(column - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  ListViewSub();  // room for the arrow
  ListView1->setUpdatesEnabled(true);
}

// Rows can arrive by the thousand: the list is repainted at most every
// 100 ms meanwhile, and once more after the last row.
void Form1::PaceListRepaints() {
  if (!listPainted_.isValid() || listPainted_.elapsed() >= kRepaintIntervalMs) {
    ListView1->setUpdatesEnabled(true);
    listPainted_.restart();
    return;
  }
  ListView1->setUpdatesEnabled(false);
  if (repaintPending_) return;
  repaintPending_ = true;
  QTimer::singleShot(kRepaintIntervalMs, this, [this] {
    repaintPending_ = false;
    ListView1->setUpdatesEnabled(true);
  });
}

}  // namespace velmora
