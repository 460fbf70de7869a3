-- Opens the session, applies settings and exports the session range once per OUT, in this process.
-- ardour7-lua render.lua DIR NAME [preset:LABEL] [PARAM=VALUE...] [bypass] [save] OUT.wav [OUT.wav...]
--   preset:LABEL loads a preset from Ardour's list first
--   PARAM=VALUE  sets a parameter, VALUE in Ardour's units (the plug-in's plain values)
--   bypass       bypasses the insert as Ardour's bypass button does
--   save         saves the session after the exports
-- (plain words: ardour7-lua would take --words for its own options)
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
local dir, name = arg[1], arg[2]
local settings, outs, bypass, save, preset = {}, {}, false, false, nil
for i = 3, #arg do
	local param, value = arg[i]:match("^(.-)=(.*)$")
	if arg[i]:match("^preset:") then
		preset = arg[i]:sub(8)
	elseif param then
		settings[#settings + 1] = {param, tonumber(value)}
	elseif arg[i] == "bypass" then
		bypass = true
	elseif arg[i] == "save" then
		save = true
	else
		outs[#outs + 1] = arg[i]
	end
end

K.open(dir, name)
local proc, plugin = K.phaser()
if preset then
	local record = K.preset(plugin, preset)
	assert(plugin:load_preset(record), "Ardour did not load the preset " .. preset)
	print(string.format("preset %s (%s) loaded", record.label, record.uri))
end
for _, s in ipairs(settings) do
	K.set(proc, plugin, s[1], s[2])
	print(string.format("set %s = %g", s[1], s[2]))
end
-- Let the engine pass the changes to the plug-in before the export starts.
K.settle()
if bypass then
	proc:to_insert():enable(false)
	local line = "bypassed: insert enabled " .. tostring(proc:to_insert():enabled())
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_label(i) == "Bypass" then
			line = line .. string.format(", its Bypass parameter %g", ARDOUR.LuaAPI.get_processor_param(proc, i, true))
		end
	end
	print(line)
end
for _, out in ipairs(outs) do
	K.export(out)
	print("exported " .. out)
end
if save then
	K.save()
	print("saved")
end
print("done")
close_session()
