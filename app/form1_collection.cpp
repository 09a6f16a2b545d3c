// The reference collection the window's runs test against: the shipped one
// in the installation's lib/, or one the user built (velmora-cli reference
// build), chosen by clicking the reference-data line and kept for later starts.

#include <QLabel>
#include <QSettings>

#include "app/form1.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/version.h"
#include "engine/run_requirements.h"

namespace velmora {
namespace {

// Kept in $XDG_CONFIG_HOME/Velmora/velmora.conf (~/.config by default).
QSettings Kept() { return QSettings("Velmora", "velmora"); }
constexpr char kKeptCollection[] = "reference/collection";

// The shipped collection's line, as the window has always shown it.
const QString kShippedReference =
    "Reference data: HMDD v2.0 disease-miRNA associations (Li et al., 2014)\n"
    " miRBase release 22 mature miRNAs (Kozomara et al., 2019)\n";

}  // namespace

void Form1::ChooseCollection() {
  if (running_) return;  // the run reads the collection it started with
  const QString chosen = Cd4();
  if (!chosen.isEmpty()) UseCollection(chosen.toStdString(), true);
}

bool Form1::UseCollection(const std::filesystem::path& folder, bool keep) {
  const ReferenceCollection shipped = ReferenceCollection::Installed(home_);
  std::error_code error;
  const bool isShipped = std::filesystem::equivalent(folder, shipped.folder, error);
  const ReferenceCollection collection = isShipped ? shipped : ReferenceCollection{folder};
  std::string name;
  try {
    CheckRequirements(home_, collection, PredictRequirements(PredictionOption::BothUnion));
    factorials_ = LoadFactorialTable(collection.Path(paths::kFactorials));
    factorialProblem_.clear();
    name = collection.Name();
  } catch (const RunFailure& failure) {
    Log("Reference collection " + folder.string() + " cannot be used: " + failure.what() +
        "; the runs keep the collection they had");
    return false;
  }
  reference_ = isShipped ? std::filesystem::path() : folder;
  Label1->setText(QString("Version %1\n").arg(kVersion) +
                  (isShipped ? kShippedReference
                             : QString("Reference data: %1\n %2\n")
                                   .arg(QString::fromStdString(name), QString::fromStdString(folder.string()))));
  PlaceProgressBar();  // the line's width changed
  if (keep) {
    Kept().setValue(kKeptCollection, QString::fromStdString(reference_.string()));
    Log("Reference collection: " + name + " (" + collection.folder.string() + ")");
  }
  return true;
}

void Form1::UseKeptCollection() {
  Label1->setText(QString("Version %1\n").arg(kVersion) + kShippedReference);
  const QString kept = Kept().value(kKeptCollection).toString();
  if (!kept.isEmpty() && !UseCollection(kept.toStdString(), false)) {
    Log("The shipped reference collection is used instead");
  }
}

}  // namespace velmora
