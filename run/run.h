#pragma once

// The prediction run: what a newcomer reads first in run/.
//
// predict.h             Predict: input text -> predictor inputs -> predictors -> mapping
// predictor_runners.h   the two predictors' command lines and runs (TargetScan60_RunPerl, miranda_run)
// process.h             ShellAndWait: a child process, waited for with the front end's turns
// input_files.h         the predictor input files written from the input text
// workspace.h           RmDirEX: empties or creates tmp/
// line_reader.h         OpenFileHandle, ReadFileLine, CloseFileHandle, EndMark, LineSource
// output_file.h         files created anew, failures named
// installation.h        the program's folder and required files
// paths.h               the fixed relative paths under the installation folder
// session.h             what one run works with
// text.h                byte-string helpers
// run_failure.h         the failure that stops a run

#include "run/input_files.h"
#include "run/installation.h"
#include "run/line_reader.h"
#include "run/paths.h"
#include "run/predict.h"
#include "run/predictor_runners.h"
#include "run/run_failure.h"
#include "run/session.h"
#include "run/text.h"
#include "run/workspace.h"
