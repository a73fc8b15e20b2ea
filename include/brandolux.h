/**
 * @file brandolux.h
 * @brief The run-time beneath Korvi70 and Toolvane: the user interface of
 * their dialogs, popups and messages (windows, or the console), serial
 * ports, TCP and files.
 *
 * Valid C (C99) and C++. A program that shows the libraries' dialogs or
 * reads their messages calls Brandolux_UstawInterfejs once, before the
 * first of them. Without that call the first dialog, popup or message
 * chooses as Brandolux_InterfejsJakProgram does (the shared library only;
 * with the static libraries make the call).
 *
 * The dialogs load their panels from the resource files "Korvi70G.Uir" and
 * "Tolvan_G.Uir", found by name in the program's own folder, else in the
 * maker's fixed folders; the SDK installs them in share/brandolux.
 * Brandolux_UstawKatalogProjektu names another folder for them.
 *
 * Texts are UTF-8.
 */
#ifndef BRANDOLUX_H
#define BRANDOLUX_H

#if defined(_WIN32)
#if defined(BRANDOLUX_BUILDING)
#define BRANDOLUX_API __declspec(dllexport)
#elif defined(BRANDOLUX_STATIC)
#define BRANDOLUX_API
#else
#define BRANDOLUX_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define BRANDOLUX_API __attribute__((visibility("default")))
#else
#define BRANDOLUX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** How the dialogs, popups and messages reach the operator. */
enum Brandolux_RodzajInterfejsu {
    /** As the maker's programs do: windows (Qt on Linux, Win32 on Windows) when a display is there, else the console. */
    Brandolux_InterfejsJakProgram = 0,
    /** Windows only; Brandolux_UstawInterfejs gives -1 when none can be shown. */
    Brandolux_InterfejsOkna = 1,
    /** Every popup written to stderr as "title: text"; questions take their default answer, dialogs end at once. */
    Brandolux_InterfejsKonsola = 2
};

/** Chooses the user interface (Brandolux_RodzajInterfejsu), closing every panel shown so far:
 *  0 done, 1 an unknown kind (nothing changed), -1 no window can be shown (nothing changed). */
BRANDOLUX_API int Brandolux_UstawInterfejs(int rodzaj);

/** The folder the resource and panel-state files of the dialogs are taken from; NULL or "": the program's own. */
BRANDOLUX_API void Brandolux_UstawKatalogProjektu(const char *katalog);

#ifdef __cplusplus
}
#endif

#endif /* BRANDOLUX_H */
