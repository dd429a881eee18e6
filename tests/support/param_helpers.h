// Helpers of the tests of the field table, the parameter file and the sets:
// rows by key, golden parameter files, the names of the loaded sets and the
// bytes a buffer collected. Core only: both builds include it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "params/field_table.h"
#include "params/param_file.h"
#include "support/byte_buffer.h"
#include "test_env.h"

// Row of `key` in the field table; a failure (and row 0) when it has none.
inline int RowOf(const char* key) {
  for (int row = 0; g_fieldTable[row].key != nullptr; ++row) {
    if (std::strcmp(g_fieldTable[row].key, key) == 0) return row;
  }
  ADD_FAILURE() << "no row " << key;
  return 0;
}

// Bytes of tests/data/params/<name>; a failure when it cannot be read.
inline std::string GoldenParamFile(const char* name) {
  bool ok = false;
  std::string bytes = ReadWholeFile(JoinTestPath(JoinTestPath(TestDataDir(), "params"), name), &ok);
  EXPECT_TRUE(ok) << name;
  return bytes;
}

// Names of the stored sets, in list order.
inline std::vector<std::string> StoredSetNames() {
  std::vector<std::string> names;
  for (const StoredSet* set = FirstStoredSet(); set != nullptr; set = set->next) {
    names.push_back(set->name);
  }
  return names;
}

// The bytes `buffer` holds; the buffer is freed.
inline std::string TakeBytes(ByteBuffer* buffer) {
  std::string bytes(buffer->data ? buffer->data : "", buffer->size);
  FreeByteBuffer(buffer);
  return bytes;
}
