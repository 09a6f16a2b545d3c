#pragma once

namespace velmora {

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed, so that
// no file a run opens (its lock, an output) takes one of their numbers and
// is then read as input or written as a log. Called first by each program.
void OpenMissingStandardStreams();

}  // namespace velmora
