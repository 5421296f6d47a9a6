#include "core/connection_string.h"

#ifndef PIECEWORK_DB_SERVER
#define PIECEWORK_DB_SERVER "127.0.0.1"
#endif

QString builtInServerAddress() {
    return QStringLiteral(PIECEWORK_DB_SERVER);
}

static QString fromParts(const QString &database, const QString &server) {
    return QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + database + QStringLiteral(";SERVER=") +
           server + QStringLiteral(";PORT=5432;UID=sys;PWD=tulwexa;SSLmode=allow;") +
           QStringLiteral(
               "ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;"
               "ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;") +
           QStringLiteral("Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;"
                          "BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;") +
           QStringLiteral(
               "TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;"
               "D6=-101;OptionalErrors=0;XaOpt=1");
}

QString buildConnectionString(const QStringList &positional) {
    const QString database = positional.value(0);
    const QString server = positional.value(1);
    if (!server.isEmpty())
        return fromParts(database, server);
    return fromParts(QStringLiteral("vorn_erp"), builtInServerAddress());
}
