-- Prints KSPhaser's parameters and programs as Ardour sees them on the session's track.
-- ardour7-lua show.lua DIR NAME
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
K.open(arg[1], arg[2])
local proc, plugin = K.phaser()

print(string.format("parameters: %d (Ardour's units are the plug-in's plain values)", plugin:parameter_count()))
for i = 0, plugin:parameter_count() - 1 do
	local _, t = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
	local d = t[2]
	local kind = d.toggled and "toggle" or (d.integer_step and "integer" or "continuous")
	if d.enumeration then kind = "list" end
	print(string.format("  param %2d  %-14s range %g .. %g  default %g  %-10s value %.9g%s", i,
		plugin:parameter_label(i), d.lower, d.upper, d.normal, kind,
		ARDOUR.LuaAPI.get_processor_param(proc, i, true),
		plugin:parameter_is_input(i) and "" or "  (output)"))
end

local programs = K.programs(plugin)
print(string.format("programs (Ardour's factory presets): %d", #programs))
for i, preset in ipairs(programs) do
	print(string.format("  program %d  %-12s %s", i - 1, preset.label, preset.uri))
end
local listed = 0
for _ in plugin:get_info():get_presets(false):iter() do listed = listed + 1 end
print("presets in the plug-in list's entry (PluginInfo:get_presets): " .. listed)
local last = plugin:last_preset()
print("last preset: " .. (last.valid and last.label or "none"))
print("done")
close_session()
