-- Shared by the ardour7-lua scripts of ardour-vst3-check.sh and ardour-lv2-check.sh: the engine,
-- the session, the KSPhaser insert on its track with its parameters and presets, and the export.

K = {}

K.PLUGIN_NAME = "Kestrunelle Phaser"
K.TRACK_NAME = "Phased"
K.RATE = 44100

-- Ardour's own dummy backend: no sound card, audio is processed as the clock runs.
function K.start_engine()
	ARDOUR.config():set_hide_dummy_backend(false)
	local backend = AudioEngine:set_backend("None (Dummy)", "", "")
	assert(backend, "Ardour has no dummy backend")
	backend:set_device_name("Silence")
	backend:set_sample_rate(K.RATE)
	backend:set_buffer_size(1024)
	assert(AudioEngine:start(false) == 0, "the dummy backend did not start")
end

function K.open(dir, name)
	K.start_engine()
	local session = load_session(dir, name)
	assert(session, "Ardour could not load the session " .. dir)
	return session
end

-- The KSPhaser insert on the test track: the processor and its plug-in.
function K.phaser()
	local track = Session:route_by_name(K.TRACK_NAME)
	assert(not track:isnil(), "no track " .. K.TRACK_NAME)
	local i = 0
	while true do
		local proc = track:nth_plugin(i)
		if proc:isnil() then break end
		local plugin = proc:to_insert():plugin(0)
		if plugin:name() == K.PLUGIN_NAME then return proc, plugin, track end
		i = i + 1
	end
	error("no " .. K.PLUGIN_NAME .. " on track " .. K.TRACK_NAME)
end

-- Sets a parameter by name to a value in Ardour's units for it (the plug-in's plain values).
function K.set(proc, plugin, name, value)
	local index = K.param_index(plugin, name)
	assert(ARDOUR.LuaAPI.set_processor_param(proc, index, value), "Ardour did not set " .. name)
end

-- Parameter index (Ardour's numbering; for LV2 the port index) by name.
function K.param_index(plugin, name)
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_label(i) == name then return i end
	end
	error("no parameter " .. name)
end

-- Prints each control's label and value (Ardour counts an LV2 plug-in's other ports among its
-- parameters).
function K.print_controls(proc, plugin)
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_is_control(i) then
			print(string.format("  %-14s %.9g", plugin:parameter_label(i), ARDOUR.LuaAPI.get_processor_param(proc, i, true)))
		end
	end
end

-- The preset of Ardour's list (factory or user) with that label.
function K.preset(plugin, label)
	local preset = plugin:preset_by_label(label)
	assert(preset and preset.valid, "Ardour has no preset " .. label)
	return preset
end

-- Lets the engine run a few blocks: they pass changes to the plug-in and what it reports back.
function K.settle()
	ARDOUR.LuaAPI.usleep(200000)
end

-- Saves the session under its own name.
function K.save()
	Session:save_state("", false, false, false, false, false)
end

-- The program list Ardour offers as factory presets: for VST 3 "VST3-P:<class id>:<index>" in the
-- plug-in's order; for LV2 the bundle's presets, in the order of Ardour's list.
function K.programs(plugin)
	local list = {}
	if plugin:get_info().type == ARDOUR.PluginType.LV2 then
		for preset in plugin:get_info():get_presets(false):iter() do
			if not preset.user then list[#list + 1] = preset end
		end
		return list
	end
	for i = 0, 127 do
		local uri = string.format("VST3-P:%s:%04d", plugin:unique_id(), i)
		local preset = plugin:preset_by_uri(uri)
		if not (preset and preset.valid) then break end
		list[#list + 1] = preset
	end
	return list
end

-- The export format preset that the check scripts install: WAV, 32-bit float, session rate,
-- no normalising, no dither.
K.EXPORT_PRESET = "4b5eb2a6-6d0e-4c1f-9b53-2f0c8e1a7f31"

-- Renders the session range through the master bus into OUT (a .wav path). No pre-roll: the
-- plug-in's first block of the export is the range's first.
function K.export(out)
	ARDOUR.config():set_export_preroll(0)
	local range = Session:locations():session_range_location()
	assert(range, "the session has no range to export")
	local folder, file = out:match("^(.*)/([^/]+)%.wav$")
	local export = Session:simple_export()
	assert(export:set_preset(K.EXPORT_PRESET), "Ardour does not know the export preset")
	export:set_folder(folder)
	export:set_name(file)
	export:set_range(range:start():samples(), range:_end():samples())
	assert(export:check_outputs(), "the master bus has no outputs to export")
	assert(export:run_export(), "Ardour's export failed")
end

return K
