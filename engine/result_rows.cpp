#include "engine/result_rows.h"

namespace velmora {

void AddResultRow(Session& session, ResultRow row) {
  row.id = ++session.rowsShown;
  session.frontend.ShowResultRow(row);
}

}  // namespace velmora
