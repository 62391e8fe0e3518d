/* A stand-in for the ALSA sequencer on machines without sound hardware (CI), preloaded into
 * Qtractor by its session test only. Qtractor refuses to start its engine without a
 * sequencer; with this one every call on the handle succeeds and no event ever arrives.
 * The info, status and event helpers that never touch the handle stay libasound's own. */
#include <alsa/asoundlib.h>
#include <errno.h>
#include <unistd.h>

static char fakeSequencer;
static int nextPort;
/* The input descriptor: a pipe nobody writes to, so polling it simply times out. */
static int silence[2] = {-1, -1};

#define SHIM __attribute__((visibility("default")))

SHIM int snd_seq_open(snd_seq_t** handle, const char* name, int streams, int mode) {
    (void)name;
    (void)streams;
    (void)mode;
    if (silence[0] < 0 && pipe(silence) != 0) return -errno;
    *handle = (snd_seq_t*)&fakeSequencer;
    return 0;
}
/* The pipe stays open for the process: a second handle shares it. */
SHIM int snd_seq_close(snd_seq_t* seq) { (void)seq; return 0; }
SHIM int snd_seq_client_id(snd_seq_t* seq) { (void)seq; return 128; }
SHIM int snd_seq_set_client_name(snd_seq_t* seq, const char* name) {
    (void)seq;
    (void)name;
    return 0;
}

SHIM int snd_seq_alloc_queue(snd_seq_t* seq) { (void)seq; return 0; }
SHIM int snd_seq_free_queue(snd_seq_t* seq, int q) { (void)seq; (void)q; return 0; }
SHIM int snd_seq_control_queue(snd_seq_t* seq, int q, int type, int value, snd_seq_event_t* ev) {
    (void)seq;
    (void)q;
    (void)type;
    (void)value;
    (void)ev;
    return 0;
}
SHIM int snd_seq_get_queue_status(snd_seq_t* seq, int q, snd_seq_queue_status_t* status) {
    (void)seq;
    (void)q;
    (void)status;
    return 0;
}
SHIM int snd_seq_get_queue_tempo(snd_seq_t* seq, int q, snd_seq_queue_tempo_t* tempo) {
    (void)seq;
    (void)q;
    (void)tempo;
    return 0;
}
SHIM int snd_seq_set_queue_tempo(snd_seq_t* seq, int q, snd_seq_queue_tempo_t* tempo) {
    (void)seq;
    (void)q;
    (void)tempo;
    return 0;
}
SHIM int snd_seq_set_queue_timer(snd_seq_t* seq, int q, snd_seq_queue_timer_t* timer) {
    (void)seq;
    (void)q;
    (void)timer;
    return 0;
}

SHIM int snd_seq_create_simple_port(snd_seq_t* seq, const char* name, unsigned int caps,
                                    unsigned int type) {
    (void)seq;
    (void)name;
    (void)caps;
    (void)type;
    return nextPort++;
}
SHIM int snd_seq_delete_simple_port(snd_seq_t* seq, int port) { (void)seq; (void)port; return 0; }
SHIM int snd_seq_get_port_info(snd_seq_t* seq, int port, snd_seq_port_info_t* info) {
    (void)seq;
    (void)port;
    (void)info;
    return 0;
}
SHIM int snd_seq_set_port_info(snd_seq_t* seq, int port, snd_seq_port_info_t* info) {
    (void)seq;
    (void)port;
    (void)info;
    return 0;
}
SHIM int snd_seq_subscribe_port(snd_seq_t* seq, snd_seq_port_subscribe_t* sub) {
    (void)seq;
    (void)sub;
    return 0;
}
SHIM int snd_seq_unsubscribe_port(snd_seq_t* seq, snd_seq_port_subscribe_t* sub) {
    (void)seq;
    (void)sub;
    return 0;
}

/* No other clients, ports or subscribers: the enumerations end at once. */
SHIM int snd_seq_get_any_client_info(snd_seq_t* seq, int client, snd_seq_client_info_t* info) {
    (void)seq;
    (void)client;
    (void)info;
    return -ENOENT;
}
SHIM int snd_seq_get_any_port_info(snd_seq_t* seq, int client, int port,
                                   snd_seq_port_info_t* info) {
    (void)seq;
    (void)client;
    (void)port;
    (void)info;
    return -ENOENT;
}
SHIM int snd_seq_query_next_client(snd_seq_t* seq, snd_seq_client_info_t* info) {
    (void)seq;
    (void)info;
    return -ENOENT;
}
SHIM int snd_seq_query_next_port(snd_seq_t* seq, snd_seq_port_info_t* info) {
    (void)seq;
    (void)info;
    return -ENOENT;
}
SHIM int snd_seq_query_port_subscribers(snd_seq_t* seq, snd_seq_query_subscribe_t* subs) {
    (void)seq;
    (void)subs;
    return -ENOENT;
}

SHIM int snd_seq_event_output(snd_seq_t* seq, snd_seq_event_t* ev) {
    (void)seq;
    (void)ev;
    return 0;
}
SHIM int snd_seq_event_output_direct(snd_seq_t* seq, snd_seq_event_t* ev) {
    (void)seq;
    (void)ev;
    return 0;
}
SHIM int snd_seq_drain_output(snd_seq_t* seq) { (void)seq; return 0; }
SHIM int snd_seq_drop_output(snd_seq_t* seq) { (void)seq; return 0; }
SHIM int snd_seq_drop_input(snd_seq_t* seq) { (void)seq; return 0; }
SHIM int snd_seq_remove_events(snd_seq_t* seq, snd_seq_remove_events_t* rmp) {
    (void)seq;
    (void)rmp;
    return 0;
}

/* Input: a descriptor that never becomes readable, and nothing pending. */
SHIM int snd_seq_poll_descriptors_count(snd_seq_t* seq, short events) {
    (void)seq;
    (void)events;
    return 1;
}
SHIM int snd_seq_poll_descriptors(snd_seq_t* seq, struct pollfd* pfds, unsigned int space,
                                  short events) {
    (void)seq;
    if (space < 1) return 0;
    pfds[0].fd = silence[0];
    pfds[0].events = events;
    pfds[0].revents = 0;
    return 1;
}
SHIM int snd_seq_event_input(snd_seq_t* seq, snd_seq_event_t** ev) {
    (void)seq;
    *ev = NULL;
    return -EAGAIN;
}
SHIM int snd_seq_event_input_pending(snd_seq_t* seq, int fetch) {
    (void)seq;
    (void)fetch;
    return 0;
}
