// Writes a help source as a WinHelp 3.1 (.hlp) file: uncompressed topic
// blocks, no phrase table, one font face in three sizes and weights, a
// contents topic linking every topic, and a context map for HELP_CONTEXT.
// The bytes depend on the source only (no date inside).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "help_source.h"

namespace hlpc {

// The topic data of one block; a record (a paragraph with its formatting)
// must fit into one.
constexpr std::size_t kBlockData = 4084;

// The help file of `help`; empty, with "FILE:LINE: message" entries in
// `errors`, when it cannot be written (a paragraph too long for a record,
// more topics than the context tree's page holds).
std::vector<std::uint8_t> WriteHelpFile(const HelpSource& help, std::vector<std::string>& errors);

// The name under which the topic of `context` is reachable by links
// ("ctx_401"), and the viewer's hash of a name.
std::string ContextName(std::uint32_t context);
std::uint32_t ContextHash(const std::string& name);

}  // namespace hlpc
