-- Builds an Ardour session with one stereo audio track that runs a Linux VST 2
-- plug-in (or an LV2 plug-in), then saves and closes it. Run by ardour7-lua
-- without a display:
--
--   ardour7-lua make_session.lua SESSION_DIR NAME PLUGIN.so RATE PROGRAM
--   ardour7-lua make_session.lua SESSION_DIR NAME PLUGIN_URI RATE PROGRAM LV2
--
-- PROGRAM is a program index; an LV2 plug-in gets its preset PLUGIN_URI/preset-NN.
-- The audio itself is added to the saved session file by the test driver (Ardour has no headless import), which also makes the
-- track's connections.
-- Prints "session-ready" last, so the caller can tell a complete run from one
-- that stopped early.

local dir, name, path, rate, program = arg[1], arg[2], arg[3], tonumber(arg[4]), tonumber(arg[5])
assert(dir and name and path and rate and program, "usage: make_session.lua DIR NAME PLUGIN RATE PROGRAM [LV2]")
local lv2 = arg[6] == "LV2"
local kind = lv2 and ARDOUR.PluginType.LV2 or ARDOUR.PluginType.LXVST

-- The session comes first: it starts the engine and the plug-in manager.
assert(create_session(dir, name, rate), "could not create the session in " .. dir)

local info = nil
for p in ARDOUR.LuaAPI.list_plugins():iter() do
  if p.type == kind and (lv2 and p.unique_id == path or not lv2 and p.path == path) then info = p end
end
-- Without this check Ardour would happily build a session without the plug-in.
assert(info, "Ardour did not find the plug-in " .. path .. " (scanned with LXVST_PATH or LV2_PATH set?)")

local tracks = Session:new_audio_track(2, 2, nil, 1, "Render", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true)
assert(tracks:size() == 1, "could not add a track")
local track = tracks:front()

local proc = ARDOUR.LuaAPI.new_plugin(Session, info.unique_id, kind, "")
assert(not proc:isnil(), "could not instantiate the plug-in")
assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "could not insert the plug-in")

local insert = proc:to_insert()
-- Ardour offers a VST 2 plug-in's programs as presets named by program number.
local plug = insert:plugin(0)
local uri = lv2 and string.format("%s/preset-%02d", path, program)
  or string.format("VST:%s:%04d", info.unique_id, program)
local preset = plug:preset_by_uri(uri)
assert(preset and preset.valid, "no preset " .. uri)
-- A mono plug-in on the stereo track runs as one instance per channel; every
-- instance gets the program.
for i = 0, insert:get_count() - 1 do
  assert(insert:plugin(i):load_preset(preset), "could not load program " .. program)
end
-- Loading a preset on the plug-in leaves the insert's controls at their old
-- values, and the session file would keep both. Ardour 7 applies the preset
-- after the controls when it loads the session, but the file should not
-- depend on that order: make the controls agree with the program.
for i = 0, plug:parameter_count() - 1 do
  ARDOUR.LuaAPI.set_processor_param(proc, i, ARDOUR.LuaAPI.get_plugin_insert_param(insert, i, true))
end

print(string.format("plug-in %s, %d instance(s), latency %d", info.name, insert:get_count(), proc:signal_latency()))
Session:save_state("")
close_session()
print("session-ready")
