#pragma once
// The compound file (OLE2, version 3, 512-byte sectors) around one stream,
// and the reading of a stream from any compound file (versions 3 and 4).
// Enough of the format for a workbook: the stream is padded to at least
// 4096 bytes so that it lives in normal sectors (no mini stream), the FAT
// covers the stream, the directory and itself, and DIFAT sectors are added
// when the FAT outgrows the 109 slots of the header.
#include <QByteArray>
#include <QString>
#include <QStringList>

// The complete file bytes holding `stream` under the name `streamName`.
QByteArray BuildCompoundFile(const QByteArray &stream, const QString &streamName = QStringLiteral("Workbook"));

// The bytes of the stream named `streamName` (compared without letter case)
// in the compound file `file`; false with a reason when the file is not a
// compound file, is damaged (chains that loop or leave the file, sizes that
// do not fit) or has no such stream. Never reads outside `file`.
bool ReadCompoundStream(const QByteArray &file, const QStringList &streamNames, QByteArray &stream,
                        QString *why = nullptr);
