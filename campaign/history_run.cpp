#include "campaign/history_run.h"

#include "campaign/history_messages.h"
#include "campaign/history_schema.h"
#include "campaign/history_store.h"

namespace {

HistoryFailure open_checked(const std::string& target, bool create, Database* db,
                            QString* problem) {
    const QString shown = shown_history_target(target);
    DbFailure failure = DbFailure::None;
    QString why;
    if (!open_database(target, create, db, &failure, &why)) {
        if (failure == DbFailure::Unreachable) {
            *problem = message_history_unreachable(shown, why);
            return HistoryFailure::Database;
        }
        *problem = message_history_unusable(shown, why);
        return HistoryFailure::Input;
    }
    switch (prepare_history_schema(*db, create, &why)) {
        case SchemaCheck::Ready:
            return HistoryFailure::None;
        case SchemaCheck::Newer:
            *problem = message_history_newer(shown, why.toInt(), kHistorySchemaVersion);
            return HistoryFailure::Input;
        case SchemaCheck::NotAHistory:
            *problem =
                message_history_unusable(shown, why.isEmpty() ? history_other_tables() : why);
            return HistoryFailure::Input;
        case SchemaCheck::Failed:
            break;
    }
    if (db->kind == DbKind::Postgres) {
        *problem = message_history_unreachable(shown, why);
        return HistoryFailure::Database;
    }
    *problem = message_history_unusable(shown, why);
    return HistoryFailure::Input;
}

}  // namespace

HistoryFailure open_history(const std::string& target, const std::string& stream, HistoryRun* run,
                            QString* problem) {
    run->target = target;
    run->stream = stream;
    const HistoryFailure opened = open_checked(target, true, &run->db, problem);
    if (opened != HistoryFailure::None) {
        return opened;
    }
    run->usable = true;
    return HistoryFailure::None;
}

HistoryFailure record_history(HistoryRun& run, const std::string& label,
                              const std::string& tool_version, const Campaign& campaign,
                              CampaignHistory* history, std::optional<Changes>* changes,
                              QString* problem) {
    const std::vector<InputProvenance> inputs = input_provenance(campaign);
    const RecordRequest request{run.stream, label, recording_time(), tool_version};
    std::int64_t seq = 0;
    QString why;
    if (!record_campaign(run.db, request, campaign, inputs, &seq, history, changes, &why)) {
        *problem = message_history_failed(shown_history_target(run.target), why);
        return HistoryFailure::Database;
    }
    return HistoryFailure::None;
}

HistoryFailure open_history_for_query(const std::string& target, Database* db, QString* problem) {
    return open_checked(target, is_postgres_target(target), db, problem);
}
