#include "exit_module/log_writer.h"

#include "platform/logfile.h"
#include "shared/text.h"

namespace kestrow {

const char kPurgePhrase[] = "Kestrow start purging file";

namespace {

const char kPurgeFailed[] = "The file ' %s ' could not be purged.";
const char kPurged[] = "The file ' %s ' was purged, new id is %d.";
const char kWriteFailed[] = "Could not write to file ' %s '.";

const char kHeaderTitle[] = "# kestrow.dll generated file\n";
const char kHeaderNotice[] = "# written by the Kestrow exit module; one row per action of the event manager\n";
const char kHeaderTabsNote[] = "# fields are delimited with TABS, all tabs are removed within messages.\n";
const char kMessageColumnNames[] =
    "# UniqueInternalID\tevtm_time\tevtm_msgnum\tevtm_color\tevtm_attrib\tevtm_token\tevtm_flags\tevtm_type"
    "\tevtm_severity\tevtm_text\tevtm_node\tevtm_user\tevtm_category\tevtm_source\tevtm_station\tevtm_workload"
    "\tevtm_pinfo\tevtm_bindata\tevtm_device\tevtm_udata\tevtm_tag";
const char kActionColumnNames[] =
    "\tevtact_token\tevtact_seqno\tevtact_cr_ti\tevtact_up_ti\tevtact_node\tevtact_user\tevtact_cr_id"
    "\tevtact_up_id\tevtact_cond_rc\tevtact_color\tevtact_attrib\tevtact_flags\tevtact_keyword\tevtact_severity"
    "\tevtact_quiet\tevtact_audit\tevtact_simul\tevtact_status\tevtact_cond_op\tevtact_dest_node\tevtact_station"
    "\tevtact_text\tevtact_category\tevtact_source\tevtact_runid\tevtact_runpw\n";

const size_t kColumnChunk = 256;

bool becomes_space(char c) {
    return c == '\r' || c == '\n' || c == '\t' || c == '\b' || c == '\f';
}

void write_held_characters(FILE *stream, const OrlEvtAction &action) {
    const char characters[] = {'\t', action.evtact_quiet, '\t', action.evtact_audit,  '\t',
                               action.evtact_simul, '\t', action.evtact_status, '\t', action.evtact_cond_op};
    fwrite(characters, 1, sizeof characters, stream);
}

}  // namespace

bool is_purge_phrase(const char *message_text) {
    return message_text != nullptr && text::equal_ignoring_ascii_case(message_text, kPurgePhrase);
}

void purge_if_asked(KestrowState &state, const char *message_text, Reporter &reporter) {
    if (!is_purge_phrase(message_text))
        return;
    if (!platform::logfile_status_ok(state.log_descriptor) || !platform::logfile_truncate(state.log_descriptor)) {
        reporter.report(EventType::warning, format_text(kPurgeFailed, state.log_path.c_str()));
        return;
    }
    state.last_identifier = 0;
    reporter.report(EventType::information, format_text(kPurged, state.log_path.c_str(), 0));
}

void write_header(FILE *stream) {
    fputs(kHeaderTitle, stream);
    fputs(kHeaderNotice, stream);
    fputs(kHeaderTabsNote, stream);
    fputs(kMessageColumnNames, stream);
    fputs(kActionColumnNames, stream);
}

void write_column(FILE *stream, const char *text, size_t field_width) {
    fputc('\t', stream);
    if (text == nullptr)
        return;
    char chunk[kColumnChunk];
    size_t filled = 0;
    for (size_t i = 0; i < field_width && text[i] != '\0'; ++i) {
        chunk[filled++] = becomes_space(text[i]) ? ' ' : text[i];
        if (filled == sizeof chunk) {
            fwrite(chunk, 1, filled, stream);
            filled = 0;
        }
    }
    if (filled != 0)
        fwrite(chunk, 1, filled, stream);
}

void write_row(KestrowState &state, const OrlEvtMessage &message, const OrlEvtAction &action, int32_t call_time,
               Reporter &reporter) {
    FILE *stream = state.log_stream;
    // Consumed even when the row then fails to reach the file.
    uint32_t identifier = ++state.last_identifier;
    int32_t time = message.evtm_time != 0 ? message.evtm_time : call_time;

    fprintf(stream, "%08lu\t%d\t%d\t%d\t%d\t%d\t%d\t%d", static_cast<unsigned long>(identifier), time,
            message.evtm_msgnum, message.evtm_color, message.evtm_attrib, message.evtm_token, message.evtm_flags,
            message.evtm_type);
    write_column(stream, message.evtm_severity, sizeof message.evtm_severity);
    const char *const *texts = evtm_text_references(message);
    for (int i = 0; i < EVTM_TEXT_FIELDS; ++i)
        write_column(stream, texts[i]);

    fprintf(stream, "\t%d\t%d\t%d\t%d", action.evtact_token, action.evtact_seqno, action.evtact_cr_ti,
            action.evtact_up_ti);
    write_column(stream, action.evtact_node);
    write_column(stream, action.evtact_user);
    write_column(stream, action.evtact_cr_id);
    write_column(stream, action.evtact_up_id);

    fprintf(stream, "\t%d\t%d\t%d\t%d", action.evtact_cond_rc, action.evtact_color, action.evtact_attrib,
            action.evtact_flags);
    write_column(stream, action.evtact_keyword, sizeof action.evtact_keyword);
    write_column(stream, action.evtact_severity, sizeof action.evtact_severity);
    write_held_characters(stream, action);

    write_column(stream, action.evtact_short_text, sizeof action.evtact_short_text);
    write_column(stream, action.evtact_dest_node);
    write_column(stream, action.evtact_station);
    write_column(stream, action.evtact_text);
    write_column(stream, action.evtact_category);
    write_column(stream, action.evtact_source);
    write_column(stream, action.evtact_runid);
    write_column(stream, action.evtact_runpw);

    if (fputc('\n', stream) == EOF)
        reporter.report(EventType::warning, format_text(kWriteFailed, state.log_path.c_str()));
    fflush(stream);
}

}  // namespace kestrow
