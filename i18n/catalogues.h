#pragma once
// Finding and installing the translation catalogues of the current locale.

#include <QStringList>

#include <string>

class QCoreApplication;

// The catalogue prefixes of the tool, in loading order.
QStringList default_catalogue_prefixes();

// Installs, in prefix order, the catalogue "<prefix><locale name>" found by
// QTranslator's usual fallback (fr_FR falls back to fr, then to the bare
// prefix) in $QARVODIR/lib/locale, a folder named by the bytes of QARVODIR
// whatever the locale's encoding. Ends the process with status 7 when
// QARVODIR is unset or empty; warns and installs nothing when the locale
// directory does not exist. Catalogues stay installed for the process's life.
void load_catalogues(QCoreApplication& app, const QStringList& prefixes);

// Installs, in prefix order, the catalogues of the current locale found in
// directory (named by its bytes), as load_catalogues does, but quietly: a
// missing directory or catalogue installs nothing. Returns how many
// catalogues were installed.
int load_catalogues_from(QCoreApplication& app, const std::string& directory,
                         const QStringList& prefixes);
