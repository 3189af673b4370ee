#pragma once

#include "wifi/PublicNetworkCandidate.h"
#include "wifi/PublicNetworkScoring.h"
#include "wifi/ScannedNetworkRecord.h"

#include <QList>
#include <QLocale>

// Ranking order: higher quality first; equal qualities by name, locale-aware and ignoring case;
// candidates that still compare equal keep their scan order.
QList<PublicNetworkCandidate> rankedCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale = QLocale());

// Keeps the first candidate of each name, where names are compared trimmed and lower-cased (by their
// bytes when they are not valid UTF-8), and the open and the secured networks of one name apart.
// Applied to a ranked list, the best-scoring entry of each survives under the name it was scanned with.
QList<PublicNetworkCandidate> uniqueCandidatesBySSID(const QList<PublicNetworkCandidate>& candidates);
// The same, moving the survivors out of a list the caller no longer needs.
QList<PublicNetworkCandidate> uniqueCandidatesBySSID(QList<PublicNetworkCandidate>&& candidates);

// uniqueCandidatesBySSID(rankedCandidates(candidates, locale)), ranking only the survivors: a crowded
// scan repeats its names many times.
QList<PublicNetworkCandidate> rankedUniqueCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale = QLocale());
// The same for the candidates `scorer` makes of `records`, making only the survivors.
QList<PublicNetworkCandidate> rankedUniqueCandidates(const QList<ScannedNetworkRecord>& records, const PublicNetworkScoring& scorer,
                                                     const QLocale& locale = QLocale());
