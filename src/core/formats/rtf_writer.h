#pragma once
// Writes a comment as an RTF document that word processors and other RTF readers
// understand:
//
//   {\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 Arial;}}{\colortbl ;...}
//   {\pard\plain\uc1\f0
//   {\b\fs28 text}{\cf1 more}\par
//   }
//   }
//
// One font table, one colour table (the colours the runs use, from index 1), then the
// body in a group of its own that starts from plain text in the table's font, each
// run in its own group and every paragraph ended by \par. (Naming the font also makes
// unrtf begin its page before a first character written as \uN.)
//
// The DIF optimiser joins two comments by cutting the first before its last "}" and
// appending the second from its second "{". With this layout the result holds the
// first body, then the second document's tables, which replace the first's for what
// follows, and the second body, styled as written, on paragraphs of its own.
//
// ASCII is written as it is ("\", "{" and "}" escaped); every other character as \uN
// and one fallback byte \'hh: its byte in code page 1252 where it has one, else "?"
// as \'3f (after a literal "?" some readers skip one character too many). Characters
// beyond U+FFFF are written as their UTF-16 surrogate pair, each half with \'3f.
// A tab is \tab, U+2028 and "\n" are \line; other control characters are left out.

#include <string>

#include "formats/rtf_document.h"

namespace brantle {

std::string WriteRtf(const RtfDocument& document);

}  // namespace brantle
