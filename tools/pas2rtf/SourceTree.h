#pragma once
// The files pas2rtf converts with -r: folders among the inputs walked for
// source files, each output placed in the same spot of the tree below -d.

#include "tools/pas2rtf/Pas2Rtf.h"

#include <ostream>
#include <string>
#include <vector>

struct TPlannedFile {
    std::string Input;
    std::string Output; // the file the document goes to; empty for standard output
};

// Every input with its output. With -r a folder stands for the source files
// below it (by extension; with --force Free Pascal's too), in name order,
// folder by folder; links to folders are not followed. Each goes to
// DIR/TREE/PATH/NAME.EXT, TREE being the walked folder's name, PATH the
// file's folder below it and NAME its whole file name. A folder that cannot be read is reported on
// ERR and makes FAILED true; the rest of the tree is still walked.
std::vector<TPlannedFile> PlanFiles(const TPas2RtfCommand& command, std::ostream& err,
                                    bool& failed);
