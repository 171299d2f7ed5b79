// Test fixture of the high-score table: an empty table and state 0 at the
// start, the file in a temporary directory, and message boxes answered by
// script and recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "high_scores/high_scores.h"
#include "options/options.h"
#include "platform/win_files.h"
#include "temp_dir.h"

class HighScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTable();
    g_nHighScoreFileState = 0;
    std::memcpy(savedFile_, g_szHighScoreFile, MAX_PATH);
    UseFile(dir_ / "Quandrel3DHiScores");
    platform_test::SetMessageBoxHandler([this](const platform_test::MessageBoxCall& call) {
      boxes_.push_back(call);
      return answer_;
    });
  }

  void TearDown() override {
    g_pNewHighScore = nullptr;
    ClearTable();
    g_nHighScoreFileState = 0;
    std::memcpy(g_szHighScoreFile, savedFile_, MAX_PATH);
    platform_test::SetMessageBoxHandler(nullptr);
    platform_test::SetReplaceFault(platform_test::ReplaceFault::None);
  }

  static void ClearTable() {
    for (UINT i = 0; i < MAX_HIGHSCORES; ++i) {
      if (i < g_uNumHighScores) std::free(g_HighScores[i].lpszName);
      g_HighScores[i] = HIGHSCORE{};
    }
    g_uNumHighScores = 0;
  }

  static void UseFile(const std::string& path) {
    std::snprintf(g_szHighScoreFile, MAX_PATH, "%s", path.c_str());
  }

  // Appends an entry with a heap copy of the name.
  static void AddEntry(UINT score, const char* name, UINT level = 0, INT time = 0) {
    HIGHSCORE& e = g_HighScores[g_uNumHighScores++];
    e.uScore = score;
    e.uLevel = level;
    e.tTime = time;
    e.lpszName = strdup(name);
  }

  static void SetScores(const std::vector<UINT>& scores) {
    ClearTable();
    for (UINT s : scores) AddEntry(s, ("p" + std::to_string(s)).c_str());
  }

  static std::vector<UINT> Scores() {
    std::vector<UINT> v;
    for (UINT i = 0; i < g_uNumHighScores; ++i) v.push_back(g_HighScores[i].uScore);
    return v;
  }

  static std::vector<std::string> Names() {
    std::vector<std::string> v;
    for (UINT i = 0; i < g_uNumHighScores; ++i) v.push_back(g_HighScores[i].lpszName);
    return v;
  }

  TempDir dir_;
  std::vector<platform_test::MessageBoxCall> boxes_;
  int answer_ = IDOK;

 private:
  char savedFile_[MAX_PATH];
};
