#pragma once

// Whether standard error is an interactive terminal, where progress may be shown.
bool StderrIsTerminal();
