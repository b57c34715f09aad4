#pragma once
// The compound file (OLE2, version 3, 512-byte sectors) around one stream.
// Enough of the format for a workbook: the stream is padded to at least
// 4096 bytes so that it lives in normal sectors (no mini stream), the FAT
// covers the stream, the directory and itself, and DIFAT sectors are added
// when the FAT outgrows the 109 slots of the header.
#include <QByteArray>
#include <QString>

// The complete file bytes holding `stream` under the name `streamName`.
QByteArray BuildCompoundFile(const QByteArray &stream, const QString &streamName = QStringLiteral("Workbook"));
