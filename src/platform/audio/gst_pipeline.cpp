#include "platform/audio/gst_pipeline.h"

#include <gst/gst.h>

namespace platter {

std::string runPipeline(const std::string& description, double timeoutSeconds) {
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline || error) {
        std::string why = error ? error->message : "cannot build the pipeline";
        if (error) g_error_free(error);
        if (pipeline) gst_object_unref(pipeline);
        return why;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg =
        gst_bus_timed_pop_filtered(bus, static_cast<GstClockTime>(timeoutSeconds * GST_SECOND),
                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    std::string why;
    if (!msg) {
        why = "timed out";
    } else if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
        GError* failure = nullptr;
        gst_message_parse_error(msg, &failure, nullptr);
        why = failure ? failure->message : "failed";
        if (failure) g_error_free(failure);
    }
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return why;
}

} // namespace platter
