#pragma once
// Reads an RTF document, as word processors write it, into the comment model.
//
// Taken from the document: bold, italic, underline (every kind as underline), font
// size, text colour from the colour table, paragraphs, line breaks and tabs, and the
// text itself: plain ASCII, \'hh bytes in the code page of the current font
// (\fcharsetN, \cpgN) or else of the document (\ansicpgN, \ansi, \mac, \pc, \pca), and
// \uN characters (surrogate pairs joined) whose fallbacks are skipped as \ucN says.
// Left out: font tables, colour tables, style sheets, document information, pictures,
// headers and footers, field instructions, hidden text and every {\*...} group. A
// table that comes again later (two documents joined, as the DIF optimiser joins
// comments) replaces the earlier one for what follows.
//
// Reading never fails. Unknown control words are ignored; a cut-off document gives
// what was read; numbers are clamped; groups nested deeper than kRtfMaxGroupDepth are
// skipped whole; memory grows with the input at most linearly.

#include <cstddef>
#include <string_view>

#include "formats/rtf_document.h"

namespace brantle {

constexpr size_t kRtfMaxGroupDepth = 256;

// Adjacent text of one style forms one run; runs are never empty. Each \par ends a
// paragraph; text after the last one is a paragraph of its own.
RtfDocument ReadRtf(std::string_view rtf);

}  // namespace brantle
