#pragma once
// Configuration files from the window: the instrument's configuration saved to a file, a file's
// configuration written to the instrument, and the backup taken before anything overwrites it.
#include "config/operations/WindowSession.h"

namespace k54 {

// "Сохранить…": asks for a file, reads the instrument's configuration and firmware, writes the file.
void saveConfigurationToFile(WindowSession& s);

// "Загрузить…": asks for a file and checks all of it (a file with any problem is refused before anything
// is sent; values that only break a relation the window keeps are named and written once confirmed);
// is sent); reads the instrument, asks to confirm how many parameters will change, restores (backup,
// the differing parameters, read-back); the pages then show what the instrument holds. The
// instrument's address, speed and protocol stay as they are.
void loadConfigurationFromFile(WindowSession& s);

// Reads the instrument's configuration and saves it in the user's data folder; logs where, or why
// not. False when there is no backup.
bool backUpInstrument(WindowSession& s);

}  // namespace k54
