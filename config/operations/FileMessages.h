#pragma once
// The log's lines about configuration files and their restore, in the window's language.
#include <string>
#include <vector>

#include "config/files/ConfigProblems.h"
#include "config/instrument/Restore.h"

namespace k54 {

// "Ошибка в файле конфигурации: DpHi: 500.0 вне пределов 0.1 … 320.0"
std::string problemLine(const ConfigProblem& problem);
// A saved configuration's file that loading would refuse: "Файл не пройдет проверку при загрузке: DpLo: ..."
std::string notLoadableLine(const ConfigProblem& problem);
// "Файл конфигурации: DpHi: ..., принят параметр"
std::string noticeLine(const ConfigNotice& notice);
// A relation the window keeps that the file breaks: "Файл конфигурации: US_2: 256.0 вне пределов 64.1 … 192.0
// (соотношение, которое соблюдает окно)"
std::string breachLine(const ConfigProblem& breach);
// The question that names the breaches before anything is written.
std::string breachQuestion(const std::vector<ConfigProblem>& breaches);
// "dAt, DpHi, US_2"
std::string keyList(const std::vector<int>& rows);
// The lines that tell what a restore did, before its final status line.
std::vector<std::string> restoreLines(const RestoreReport& report);

}  // namespace k54
