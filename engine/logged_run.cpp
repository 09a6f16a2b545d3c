#include "engine/logged_run.h"

#include <new>
#include <string>

#include "core/run_failure.h"
#include "engine/run_log.h"

namespace velmora {

bool RunLogged(Session& session, const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const RunFailure& failure) {
    AppendLogLine(session.frontend, failure.what());
  } catch (const std::bad_alloc&) {
    AppendLogLine(session.frontend, "The run ran out of memory and stopped.");
  } catch (const std::exception& error) {
    AppendLogLine(session.frontend, std::string("The run failed: ") + error.what());
  } catch (...) {
    AppendLogLine(session.frontend, "The run failed: an error of unknown kind.");
  }
  return false;
}

}  // namespace velmora
