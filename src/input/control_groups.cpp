#include "input/control_groups.h"

#include "resource.h"

const ControlGroupTable kControlGroups[kControlGroupCount] = {
    // Current directory, executable, the file edits of rows 1 to 8, help file.
    {1,
     {IDC_CURPATH, IDC_EXEPATH, IDC_ARG1_FILE, IDC_ARG2_FILE, IDC_ARG3_FILE, IDC_ARG4_FILE,
      IDC_ARG5_FILE, IDC_ARG6_FILE, IDC_ARG7_FILE, IDC_ARG8_FILE, IDC_HELPPATH, 0}},
    {0,
     {IDC_ARG1_SWITCH, IDC_ARG2_SWITCH, IDC_ARG3_SWITCH, IDC_ARG4_SWITCH, IDC_ARG5_SWITCH,
      IDC_ARG6_SWITCH, IDC_ARG7_SWITCH, IDC_ARG8_SWITCH, 0}},
    {0,
     {IDC_ARG1_SPACE, IDC_ARG2_SPACE, IDC_ARG3_SPACE, IDC_ARG4_SPACE, IDC_ARG5_SPACE,
      IDC_ARG6_SPACE, IDC_ARG7_SPACE, IDC_ARG8_SPACE, 0}},
    {0,
     {IDC_ARG1_BROWSE, IDC_ARG2_BROWSE, IDC_ARG3_BROWSE, IDC_ARG4_BROWSE, IDC_ARG5_BROWSE,
      IDC_ARG6_BROWSE, IDC_ARG7_BROWSE, IDC_ARG8_BROWSE, 0}},
};

int GroupMemberCount(int group) {
  if (group < 0 || group >= kControlGroupCount) return 0;
  int count = 0;
  while (count < kGroupCapacity && kControlGroups[group].ids[count] != 0) ++count;
  return count;
}

int FocusMoveTarget(int group, int index, int shiftDown) {
  const int count = GroupMemberCount(group);
  if (index < 0 || index >= count) return -1;
  const int target = shiftDown ? index - 1 : index + 1;
  return target >= 0 && target < count ? target : -1;
}
