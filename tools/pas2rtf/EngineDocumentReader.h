#pragma once
// The engine's own documents into the document model, fast: they use a
// handful of control words in a fixed header, so one pass over the bytes with
// no general RTF machinery reads them. The result is the general reader's
// model of the same bytes; anything else goes to the general reader.

#include "viewer/text/RtfDocument.h"

#include <optional>
#include <string_view>
#include <vector>

// The model of DATA when it is a document as the engine (and pas2rtf's text
// encodings) write it; none when DATA holds anything else.
std::optional<TRtfDocument> ReadEngineDocument(std::string_view data);

// ReadEngineDocument, else the general reader.
TRtfDocument ReadEngineOrRtf(std::string_view data);

// Where to cut DATA into up to PARTS parts for ReadEngineDocumentPart: the
// start of the first, each cut, and the end of DATA. Empty when DATA is not
// the engine's document or too small to be worth cutting.
std::vector<std::size_t> EngineDocumentCuts(std::string_view data, unsigned parts);

// Part K between those CUTS read into DOC, whose memory is kept for it: the
// part's share of the model, ending with the paragraph end it was cut at
// unless it is the last. False when the part holds what the engine does not
// write (a document of another origin, or one the cuts split in a group);
// then only the whole document, read in one, is its model.
bool ReadEngineDocumentPart(std::string_view data, const std::vector<std::size_t>& cuts,
                            std::size_t k, TRtfDocument& doc);

// The same model in up to PARTS consecutive documents, read at once on
// THREADS threads (0: one a part): each but the last ends with the paragraph end it was cut
// at, so no line and no group spans two parts. A document too small to be
// worth cutting is one part; one that is not the engine's is the general
// reader's, in one part.
std::vector<TRtfDocument> ReadEngineDocumentParts(std::string_view data, unsigned parts,
                                                  unsigned threads = 0);
