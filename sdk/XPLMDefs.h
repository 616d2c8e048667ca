// Core definitions shared by the host SDK declarations: linkage macros and the
// plug-in id type. Names and values match the simulator's own SDK headers.
#ifndef DROVANEL_SDK_XPLMDEFS_H
#define DROVANEL_SDK_XPLMDEFS_H

#ifdef __cplusplus
#define DROVANEL_EXTERN_C extern "C"
#else
#define DROVANEL_EXTERN_C
#endif

// Entry points the plug-in exports to the host.
#if defined(_WIN32)
#define PLUGIN_API DROVANEL_EXTERN_C __declspec(dllexport)
#else
#define PLUGIN_API DROVANEL_EXTERN_C __attribute__((visibility("default")))
#endif

// Functions the host exports. The stand-in host builds the same declarations
// with DROVANEL_SDK_PROVIDER defined so that it exports them instead.
#if defined(_WIN32)
#if defined(DROVANEL_SDK_PROVIDER)
#define XPLM_API __declspec(dllexport)
#else
#define XPLM_API __declspec(dllimport)
#endif
#define WIDGET_API XPLM_API
#else
#define XPLM_API __attribute__((visibility("default")))
#define WIDGET_API XPLM_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int XPLMPluginID;
#define XPLM_NO_PLUGIN_ID (-1)
#define XPLM_PLUGIN_XPLANE (0)

#ifdef __cplusplus
}
#endif

#endif
