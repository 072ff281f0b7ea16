/* Older hosts look the plug-in up by the name `main`; it is the same entry
   as VSTPluginMain. C allows the name for an ordinary exported function. */
struct AEffect;
typedef void* HostCallbackPointer;

struct AEffect* VSTPluginMain(HostCallbackPointer audioMaster);

__attribute__((visibility("default"))) struct AEffect* main(HostCallbackPointer audioMaster) {
  return VSTPluginMain(audioMaster);
}
