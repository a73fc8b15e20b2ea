// Panel and control numbers of VGX52_G.uir, under the names the file gives
// them; a test checks that the two agree.
#pragma once

constexpr int PANEL_GL = 1;
constexpr int PANEL_GL_STATUS = 2;
constexpr int PANEL_GL_NAZWA = 3;
constexpr int PANEL_GL_TIMER = 4;
constexpr int PANEL_GL_USTGEST = 5;
constexpr int PANEL_GL_UPGRADE = 6;
constexpr int PANEL_GL_KONIEC = 7;

constexpr int PANEL_PORT = 2;
constexpr int PANEL_PORT_LISTA = 2;
constexpr int PANEL_PORT_OK = 3;
constexpr int PANEL_PORT_ANULUJ = 4;
