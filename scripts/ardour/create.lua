-- Creates a session with one stereo track carrying KSPhaser (VST 3, or the TYPE given: LV2).
-- ardour7-lua create.lua DIR NAME [TYPE]
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
local dir, name, kind = arg[1], arg[2], arg[3] or "VST3"

K.start_engine()
assert(create_session(dir, name, K.RATE), "Ardour could not create the session")
local track = Session:new_audio_track(2, 2, nil, 1, K.TRACK_NAME, ARDOUR.PresentationInfo.max_order,
	ARDOUR.TrackMode.Normal, true):front()
local proc = ARDOUR.LuaAPI.new_plugin(Session, K.PLUGIN_NAME, ARDOUR.PluginType[kind], "")
assert(not proc:isnil(), "Ardour could not instantiate " .. K.PLUGIN_NAME .. " (" .. kind .. ")")
assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "Ardour could not add the plug-in")
-- Ardour connects a new track to the master bus from a thread of its own; connect it here so that
-- the saved session has the connections.
local master = Session:master_out()
for i = 0, 1 do
	local port = track:output():audio(i)
	local other = master:input():audio(i):name()
	if not port:connected_to(other) then assert(port:connect(other) == 0, "cannot connect " .. other) end
end
-- Region fades and declicks would change the first and last samples of the render.
Session:cfg():set_use_region_fades(false)
Session:cfg():set_use_transport_fades(false)
Session:cfg():set_use_monitor_fades(false)
local plugin = proc:to_insert():plugin(0)
print(string.format("create: track %q, %d in / %d out, plug-in %q (%s, %s)", track:name(), track:n_inputs():n_audio(),
	track:n_outputs():n_audio(), plugin:name(), ARDOUR.PluginType.name(plugin:get_info().type), plugin:unique_id()))
K.save()
print("done")
close_session()
