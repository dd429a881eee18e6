// What the code composes for a record, over the fake disk, read back through
// the model of cmd: a batch file as cmd runs it from the program's own
// folder, or each direct command line as the system starts it in the folder
// the run hands it.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "cmd_model.h"
#include "expand/file_expansion.h"
#include "fake_disk.h"
#include "run/batch_file.h"
#include "run/launch.h"
#include "run/plan.h"
#include "support/messages.h"

// The composed bytes (a batch file, or the command lines one per line with
// their folders), the program error that stopped it (-1 for none), the
// names left out, and what each direct command that cmd ran ended with.
struct Composed {
  std::string text;
  int error = -1;
  int leftOut = 0;
  std::vector<int> exitCodes;
};

inline constexpr int kComposedWildcardDirectory = kErrorWildcardDirectory;

// The folder the system starts a child in for the folder text a run hands
// it (null or "" for its own, `own`): a relative one is taken from `own`; a
// quoted one is no folder, and the start fails ("").
inline std::string FolderOfStart(const char* folder, const std::string& own) {
  if (folder == nullptr || folder[0] == '\0') return own;
  const std::string text = folder;
  if (text.find('"') != std::string::npos) return "";
  std::string full = text[0] == '\\' || (text.size() >= 3 && text[1] == ':' && text[2] == '\\')
                         ? text
                         : own + "\\" + text;
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

// 1 when the fake disk holds `path`, its names in any case.
inline bool FakeExistsInAnyCase(const std::string& path) { return FakeEntryInAnyCase(path) != nullptr; }

inline Composed ComposeAndRun(const ParameterSet& set, bool batch, const std::string& own,
                              CmdWorld* world) {
  Composed composed;
  RunPlan plan{};
  composed.error = FakePlan(set, batch ? kPlanBatch : kPlanDirect, &plan, nullptr, own.c_str());
  composed.leftOut = plan.leftOut.count[kNotInCodePage] + plan.leftOut.count[kChangedByCmd];
  if (batch) {
    ByteBuffer out;
    PrintBatchFile(plan, &out);
    composed.text.assign(out.data != nullptr ? out.data : "", out.size);
    FreeByteBuffer(&out);
    RunBatchText(world, composed.text, own);
  } else {
    const char* line = plan.lines.data;
    for (int i = 0; i < plan.commands.count; ++i, line = NextText(line)) {
      const std::string folder = FolderOfStart(
          DirectoryForStart(plan.commands.program, plan.commands.directory), own);
      composed.text += folder + ">" + line + "\n";
      if (folder.empty()) continue;
      world->exitCode = -1;
      StartCommandLine(world, line, folder);
      if (world->exitCode != -1) composed.exitCodes.push_back(world->exitCode);
    }
  }
  FreeRunPlan(&plan);
  return composed;
}
