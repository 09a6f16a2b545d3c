#include "engine/logged_run.h"

#include <new>
#include <string>

#include "core/run_failure.h"
#include "engine/run_log.h"

namespace velmora {
namespace {

void Ended(Session& session, const std::string& reason, bool stopped = false) {
  session.record.Failed(reason, stopped);
  AppendLogLine(session.frontend, reason);
}

}  // namespace

bool RunLogged(Session& session, const std::function<void()>& work) {
  try {
    work();
    return true;
  } catch (const RunStopped& stopped) {
    Ended(session, stopped.what(), true);
  } catch (const RunFailure& failure) {
    Ended(session, failure.what());
  } catch (const std::bad_alloc&) {
    Ended(session, "The run ran out of memory and stopped.");
  } catch (const std::exception& error) {
    Ended(session, std::string("The run failed: ") + error.what());
  } catch (...) {
    Ended(session, "The run failed: an error of unknown kind.");
  }
  return false;
}

}  // namespace velmora
