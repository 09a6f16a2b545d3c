#pragma once

// The engine: a run from the input text to the result file, on whatever
// thread calls it. It has no Qt and no event loop; it reports through the
// front end and stops when the session's stop token asks.
//
// predict.h            Predict: FASTA input -> predictor inputs -> predictors -> mapping
// pipelines.h          MapTargetScanOnly, MapMirandaOnly, MapBothUnion, MapBothIntersection, RunMapping
// enrichment_table.h   WriteEnrichmentTable: lnc_mirset.txt x disease sets -> result.xls and rows
// evidence_file.h      result_mirnas.tsv: the shared miRNAs, their sources and the FDR of each result line
// pair_sources.h       PairSources: which predictor found an lncRNA-miRNA pair
// predictor_runners.h  the two predictors' command lines and runs (TargetScan60_RunPerl, miranda_run)
// process.h            ShellAndWait: a child process, waited for without busy waiting
// fasta_input.h        ReadLncRnaFasta: one checking pass over the FASTA input, FastaSink
// input_files.h        WritePredictorInputs: both predictor input files in one pass over the input
// workspace.h          RmDirEX: empties or creates tmp/
// workspace_lock.h     WorkspaceLock, RunLocked: one run at a time per workspace
// last_result.h        RunKeepingLastResult: a run that does not succeed leaves the last result
// session.h            what one run works with
// frontend.h           Frontend, ResultRow: what the engine needs from a window, a command line or a test
// run_requirements.h  PredictRequirements, MappingRequirements: the files a run needs, checked
// result_rows.h        AddResultRow: a reported association, numbered, to the front end
// run_log.h            AppendLogLine, DateTimeText
// run_record.h         RunRecord, RunRecorded: run_info.json, how a run's result was made
// logged_run.h         RunLogged: any failure ends a run as one log line

#include "engine/enrichment_table.h"
#include "engine/evidence_file.h"
#include "engine/fasta_input.h"
#include "engine/frontend.h"
#include "engine/input_files.h"
#include "engine/last_result.h"
#include "engine/logged_run.h"
#include "engine/pair_sources.h"
#include "engine/pipelines.h"
#include "engine/predict.h"
#include "engine/predictor_runners.h"
#include "engine/process.h"
#include "engine/result_rows.h"
#include "engine/run_log.h"
#include "engine/run_record.h"
#include "engine/run_requirements.h"
#include "engine/session.h"
#include "engine/workspace.h"
#include "engine/workspace_lock.h"
