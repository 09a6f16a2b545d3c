#include "stats/result_rows.h"

#include "stats/run_log.h"

namespace velmora {

void AddResultRow(Session& session, ResultRow row) {
  row.id = session.frontend.ResultRowCount() + 1;
  session.frontend.ShowResultRow(row);
  if (row.id <= ResultStore::kLastRow) {
    session.store.At(row.id, 0) = row.id;
    for (int column = 1; column < ResultStore::kColumns; ++column) {
      session.store.At(row.id, column) = row.cells[static_cast<std::size_t>(column - 1)];
    }
  } else {
    AppendLogLine(session.frontend, kResultLimitMessage);
  }
  session.frontend.ProcessEvents();
}

}  // namespace velmora
