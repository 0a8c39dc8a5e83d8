#pragma once
// What the history says on the console, translated under the same context
// as the campaign's other messages. Problem lines have no line end (the
// printer adds it); the others end with one.

#include "campaign/history_view.h"

#include <QString>

#include <string>

// The database target as messages show it: a URL's password is left out.
QString shown_history_target(const std::string& target);

// Problem lines: the database is no history of ours (status 3), or a server
// could not be used (status 5).
QString message_history_unusable(const QString& target, const QString& why);
QString message_history_newer(const QString& target, int version, int ours);
QString message_history_unreachable(const QString& target, const QString& why);
QString message_history_failed(const QString& target, const QString& why);
// Why a database that holds tables but not ours is refused.
QString history_other_tables();

// The summary: which campaign this is, then the lists.
QString history_summary(const CampaignHistory& history);

// The history command.
QString history_help_text(const QString& program);
QString message_history_usage(const QString& why);
QString message_history_one_database();
QString message_history_alone();
QString message_history_bad_keep(const QString& value);
QString message_history_no_item(const QString& what);
QString history_campaign_line(const HistoryCampaignRow& row);
QString history_story_text(const HistoryStory& story);
QString message_history_kept(qint64 removed, qint64 keep, const QString& stream);
