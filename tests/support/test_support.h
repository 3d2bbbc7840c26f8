// Shared includes and fixtures of the test programs.
#pragma once
#define DOCTEST_CONFIG_NO_MULTITHREADING
#define DOCTEST_CONFIG_NO_POSIX_SIGNALS
#include <doctest.h>

#include <windows.h>

#include "store/settings_store.h"
#include "ui_driver.h"

// A case that starts from an empty launcher registry and a zero-filled settings block.
struct FreshSettings {
    FreshSettings();
    ~FreshSettings();
};
