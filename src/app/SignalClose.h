// SPDX-License-Identifier: MIT
// A desktop session that ends, a terminal closed over `make run`, Ctrl-C or `kill` end the
// program by a signal. Those close the main window the way its close box does, so the
// interface's status reports are switched off and the preferences and the last settings are
// written as at any other exit.
#pragma once

class QWidget;

// SIGTERM, SIGINT and SIGHUP close window from the event loop from now on. On a system without
// such signals this does nothing.
void CloseOnTerminationSignals(QWidget *window);
