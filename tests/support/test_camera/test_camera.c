/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A camera for tests on machines without one: a GStreamer device provider whose
 * probe lists one or two "Video/Source" devices, each making a live picture whose
 * orientation is visible both ways (the left quarter white, the rest a gradient
 * from black at the top to white at the bottom). Read at probe time:
 * Q60_TEST_CAMERA_SIZE=160x120 (default) or 320x240, Q60_TEST_CAMERA_COUNT=1 or 2. */
/* The plugin descriptor names its source package by this macro. */
#define PACKAGE "quorrel60"
#include <gst/gst.h>
#include <stdlib.h>
#include <string.h>

#define Q60_TYPE_TEST_CAMERA (q60_test_camera_get_type())
G_DECLARE_FINAL_TYPE(Q60TestCamera, q60_test_camera, Q60, TEST_CAMERA, GstDevice)
struct _Q60TestCamera {
    GstDevice parent;
};
G_DEFINE_TYPE(Q60TestCamera, q60_test_camera, GST_TYPE_DEVICE)

#define Q60_TYPE_TEST_CAMERA_PROVIDER (q60_test_camera_provider_get_type())
G_DECLARE_FINAL_TYPE(Q60TestCameraProvider, q60_test_camera_provider, Q60, TEST_CAMERA_PROVIDER,
                     GstDeviceProvider)
struct _Q60TestCameraProvider {
    GstDeviceProvider parent;
};
G_DEFINE_TYPE(Q60TestCameraProvider, q60_test_camera_provider, GST_TYPE_DEVICE_PROVIDER)

/* The picture is drawn at 160x120 and scaled by whole pixels to the size asked
 * for, so every mode shows the same pattern. The gradient source is 40 columns
 * narrower; the box adds them back, white, on the left. */
static const char* const pictureBin =
    "videotestsrc is-live=true pattern=gradient"
    " ! video/x-raw,width=120,height=120,framerate=30/1"
    " ! videobox left=-40 fill=white ! videoscale method=nearest-neighbour";

static GstElement* q60_test_camera_create_element(GstDevice* device, const gchar* name)
{
    (void)device;
    GError* error = NULL;
    GstElement* bin = gst_parse_bin_from_description(pictureBin, TRUE, &error);
    if (bin == NULL) {
        g_warning("test camera: %s", error->message);
        g_clear_error(&error);
        return NULL;
    }
    if (name != NULL)
        gst_object_set_name(GST_OBJECT(bin), name);
    return bin;
}

static void q60_test_camera_class_init(Q60TestCameraClass* klass)
{
    GST_DEVICE_CLASS(klass)->create_element = q60_test_camera_create_element;
}

static void q60_test_camera_init(Q60TestCamera* self) { (void)self; }

/* The configured size at up to 30 frames per second, then the other size at up
 * to 15: a player picking the fastest mode picks the configured one, and a
 * format dialog has a second mode to offer. */
static GstCaps* test_camera_caps(gboolean large)
{
    const int width = large ? 320 : 160, height = large ? 240 : 120;
    const int otherWidth = large ? 160 : 320, otherHeight = large ? 120 : 240;
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "YUY2", "width", G_TYPE_INT,
                                        width, "height", G_TYPE_INT, height, "framerate",
                                        GST_TYPE_FRACTION_RANGE, 5, 1, 30, 1, NULL);
    gst_caps_append(caps, gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "YUY2", "width",
                                              G_TYPE_INT, otherWidth, "height", G_TYPE_INT, otherHeight,
                                              "framerate", GST_TYPE_FRACTION_RANGE, 5, 1, 15, 1, NULL));
    return caps;
}

static GstDevice* test_camera_new(const char* name, gboolean isDefault, gboolean large)
{
    GstCaps* caps = test_camera_caps(large);
    GstStructure* properties = gst_structure_new("q60-test-camera", "is-default", G_TYPE_BOOLEAN, isDefault, NULL);
    GstDevice* device = g_object_new(Q60_TYPE_TEST_CAMERA, "display-name", name, "device-class", "Video/Source",
                                     "caps", caps, "properties", properties, NULL);
    gst_caps_unref(caps);
    gst_structure_free(properties);
    return device;
}

static GList* q60_test_camera_provider_probe(GstDeviceProvider* provider)
{
    (void)provider;
    const char* size = g_getenv("Q60_TEST_CAMERA_SIZE");
    const char* count = g_getenv("Q60_TEST_CAMERA_COUNT");
    const gboolean large = size != NULL && strcmp(size, "320x240") == 0;
    GList* devices = g_list_append(NULL, test_camera_new("Test Camera A", TRUE, large));
    if (count != NULL && strcmp(count, "2") == 0)
        devices = g_list_append(devices, test_camera_new("Test Camera B", FALSE, large));
    return devices;
}

/* The cameras are there from the start, as plugged-in cameras are. Qt 6.4 adds
 * every device the monitor lists at start and again every device-added message it
 * hears, so the message of each addition is held back (the provider's bus is
 * flushing meanwhile) or each camera would be listed twice. */
static gboolean q60_test_camera_provider_start(GstDeviceProvider* provider)
{
    GstBus* bus = gst_device_provider_get_bus(provider);
    gst_bus_set_flushing(bus, TRUE);
    GList* devices = q60_test_camera_provider_probe(provider);
    for (GList* item = devices; item != NULL; item = item->next)
        gst_device_provider_device_add(provider, GST_DEVICE(item->data));
    g_list_free(devices);
    gst_bus_set_flushing(bus, FALSE);
    gst_object_unref(bus);
    return TRUE;
}

static void q60_test_camera_provider_stop(GstDeviceProvider* provider)
{
    GList* devices = gst_device_provider_get_devices(provider);
    for (GList* item = devices; item != NULL; item = item->next)
        gst_device_provider_device_remove(provider, GST_DEVICE(item->data));
    g_list_free_full(devices, gst_object_unref);
}

static void q60_test_camera_provider_class_init(Q60TestCameraProviderClass* klass)
{
    GST_DEVICE_PROVIDER_CLASS(klass)->probe = q60_test_camera_provider_probe;
    GST_DEVICE_PROVIDER_CLASS(klass)->start = q60_test_camera_provider_start;
    GST_DEVICE_PROVIDER_CLASS(klass)->stop = q60_test_camera_provider_stop;
    gst_device_provider_class_set_static_metadata(GST_DEVICE_PROVIDER_CLASS(klass), "Quorrel test camera",
                                                  "Source/Video", "Cameras with a known picture for tests",
                                                  "Quorrel 60line");
}

static void q60_test_camera_provider_init(Q60TestCameraProvider* self) { (void)self; }

static gboolean plugin_init(GstPlugin* plugin)
{
    return gst_device_provider_register(plugin, "q60testcameraprovider", GST_RANK_PRIMARY,
                                        Q60_TYPE_TEST_CAMERA_PROVIDER);
}

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, q60testcamera, "Cameras with a known picture for tests",
                  plugin_init, "1.0", "LGPL", "Quorrel 60line", "https://example.invalid/quorrel60")
